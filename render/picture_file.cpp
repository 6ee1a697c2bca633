// Picture files: the header check in front of load_bitmap, and the loader
// that uses it.
#include "render/picture_file.h"
#include "base/base.h"
#include "world/checked_file.h"

#include <allegro.h>
#include <cstring>

namespace {

// TGA header fields (18 bytes, little-endian).
constexpr size_t TGA_HEADER_SIZE = 18;
constexpr int TGA_ID_LENGTH = 0;
constexpr int TGA_COLOUR_MAP_TYPE = 1;
constexpr int TGA_IMAGE_TYPE = 2;
constexpr int TGA_COLOUR_MAP_SPEC = 3;  // 5 bytes: first entry, length, entry size
constexpr int TGA_WIDTH = 12;
constexpr int TGA_HEIGHT = 14;
constexpr int TGA_DEPTH = 16;
constexpr int TGA_DESCRIPTOR = 17;
constexpr int TGA_TRUE_COLOUR = 2;
constexpr int TGA_TRUE_COLOUR_RLE = 10;  // refused: see tga_problem
constexpr int TGA_INTERLEAVE_BITS = 0xC0;  // descriptor bits 6-7: must be 0
constexpr int TGA_ALPHA_BITS = 0x0F;       // descriptor bits 0-3

// BMP: a 14-byte file header and a 40-byte information header.
constexpr int BMP_PIXELS_OFFSET = 10;
constexpr int BMP_INFO_SIZE = 14;
constexpr int BMP_WIDTH = 18;
constexpr int BMP_HEIGHT = 22;
constexpr int BMP_PLANES = 26;
constexpr int BMP_DEPTH = 28;
constexpr int BMP_COMPRESSION = 30;
constexpr int BMP_COLOURS_USED = 46;
constexpr uint32_t BMP_INFO_HEADER_SIZE = 40;

bool side_within_limits(long long side) { return side >= 1 && side <= PICTURE_MAX_SIDE; }

bool has_extension(const char *path, const char *extension)
{
  size_t length = std::strlen(path), tail = std::strlen(extension);
  return length >= tail && strcasecmp(path + length - tail, extension) == 0;
}

const char *tga_problem(const unsigned char *head, size_t head_size, long long file_size)
{
  if (head_size < TGA_HEADER_SIZE)
    return "too short for a TGA header";
  if (head[TGA_COLOUR_MAP_TYPE] != 0)
    return "a TGA with a colour map";
  for (int i = 0; i < 5; i++)
    if (head[TGA_COLOUR_MAP_SPEC + i] != 0)
      return "a TGA with a colour map";
  int type = head[TGA_IMAGE_TYPE];
  // Allegro's run-length reader writes past the end of its bitmap when a
  // packet runs on past the end of a row; our files are uncompressed.
  if (type == TGA_TRUE_COLOUR_RLE)
    return "a run-length TGA";
  if (type != TGA_TRUE_COLOUR)
    return "not a true-colour TGA";
  int depth = head[TGA_DEPTH], descriptor = head[TGA_DESCRIPTOR];
  if (depth != 24 && depth != 32)
    return "a TGA of neither 24 nor 32 bits a pixel";
  int alpha_bits = descriptor & TGA_ALPHA_BITS;
  if ((descriptor & TGA_INTERLEAVE_BITS) != 0 || (alpha_bits != 0 && alpha_bits != depth - 24))
    return "a TGA with an unknown pixel layout";
  long long width = le16_at(head + TGA_WIDTH), height = le16_at(head + TGA_HEIGHT);
  if (!side_within_limits(width) || !side_within_limits(height))
    return "a TGA of a size out of bounds";
  long long pixel_bytes = width * height * (depth / 8);
  if (file_size < (long long)TGA_HEADER_SIZE + head[TGA_ID_LENGTH] + pixel_bytes)
    return "a TGA shorter than its pixels";
  return nullptr;
}

const char *bmp_problem(const unsigned char *head, size_t head_size, long long file_size)
{
  if (head_size < PICTURE_HEADER_SIZE)
    return "too short for a BMP header";
  if (head[0] != 'B' || head[1] != 'M')
    return "not a BMP";
  if (le32_at(head + BMP_INFO_SIZE) != BMP_INFO_HEADER_SIZE)
    return "a BMP with an unknown header";
  if (le16_at(head + BMP_PLANES) != 1 || le16_at(head + BMP_DEPTH) != 24 ||
      le32_at(head + BMP_COLOURS_USED) != 0)
    return "a BMP of other than 24 bits a pixel";
  if (le32_at(head + BMP_COMPRESSION) != 0)
    return "a compressed BMP";
  // Heights below zero (rows top first) are not among our files.
  long long width = (int32_t)le32_at(head + BMP_WIDTH);
  long long height = (int32_t)le32_at(head + BMP_HEIGHT);
  if (!side_within_limits(width) || !side_within_limits(height))
    return "a BMP of a size out of bounds";
  if (le32_at(head + BMP_PIXELS_OFFSET) != PICTURE_HEADER_SIZE)
    return "a BMP with its pixels away from the header";
  long long row_bytes = (width * 3 + 3) / 4 * 4;  // rows are padded to 4 bytes
  if (file_size < (long long)PICTURE_HEADER_SIZE + row_bytes * height)
    return "a BMP shorter than its pixels";
  return nullptr;
}

}  // namespace

const char *picture_problem(const char *path, const unsigned char *head, size_t head_size,
                            long long file_size)
{
  if (has_extension(path, ".tga"))
    return tga_problem(head, head_size, file_size);
  if (has_extension(path, ".bmp"))
    return bmp_problem(head, head_size, file_size);
  return "neither a TGA nor a BMP name";
}

BITMAP *load_picture(const char *path)
{
  bool tga = has_extension(path, ".tga");
  return (BITMAP *)load_checked_file(
      path, PICTURE_MAX_BYTES,
      [path](const byte_buffer &b) { return picture_problem(path, b.data(), b.size(), (long long)b.size()); },
      [tga](PACKFILE *file) { return (void *)(tga ? load_tga_pf(file, nullptr) : load_bmp_pf(file, nullptr)); });
}
