// Picture files (TGA and BMP) opened for the game: a header check in front of
// Allegro's loaders, which trust the header and can be crashed or hung by a
// crafted file.
#pragma once

#include <cstddef>

struct BITMAP;

constexpr int PICTURE_MAX_SIDE = 2048;     // widest and tallest picture accepted
constexpr size_t PICTURE_HEADER_SIZE = 54;  // the longest header checked (BMP)
// The longest picture file read: the largest picture of 4 bytes a pixel, with
// room to spare for its header and a TGA's closing fields.
constexpr long PICTURE_MAX_BYTES = 4L * PICTURE_MAX_SIDE * PICTURE_MAX_SIDE + 64 * 1024;

// Why the picture named path (its kind taken from the extension, ".tga" or
// ".bmp") cannot safely go to load_bitmap, judged from the first bytes of the
// file (head, head_size of them) and its whole size; null when it can. Only
// the kinds our own files use pass: uncompressed true-colour TGA without a
// colour map and uncompressed 24-bit BMP, at most PICTURE_MAX_SIDE each way,
// with enough bytes for their pixels.
const char *picture_problem(const char *path, const unsigned char *head, size_t head_size,
                            long long file_size);

// Loads a TGA or BMP picture through Allegro's loader when its file (of at
// most PICTURE_MAX_BYTES) passes the check; otherwise, or when it does not
// load, prints one warning line naming the file and returns null (the game
// goes on without it).
BITMAP *load_picture(const char *path);
