// Reading BMF files without OpenGL: the glyph table and the SGI picture.
// Internal to the font library (and its tests and fuzz targets).
#pragma once

#include "font/font.h"

#include <cstdio>

constexpr int BMF_GLYPH_COUNT = 256;       // one glyph rectangle per character code
constexpr int BMF_IMAGE_MAX_SIZE = 4096;   // largest picture width and height read
// Channels decoded: red, green, blue, alpha. A picture may store more; the
// rest are skipped.
constexpr int BMF_IMAGE_DECODED_CHANNELS = 4;

// Reads a whole BMF file from its start: checks the magic, skips the name,
// fills glyphs and decodes the picture. RGBA pixels (caller frees) and their
// size, or null when the file is not a sound BMF file.
unsigned char *bmf_read_font(FILE *file, bitmap_glyph_rect glyphs[BMF_GLYPH_COUNT],
                             int *width, int *height);
