// Writers of SGI pictures and of BMF bitmap font files, for the font tools
// and for tests that make their own fonts.
#include "font/font_write.h"

#include <cstdio>
#include <cstring>

namespace {

// ---- SGI image layout -------------------------------------------------------

constexpr uint16_t SGI_MAGIC = 474;
constexpr int SGI_HEADER_SIZE = 512;
constexpr int SGI_NAME_OFFSET = 24;     // 80-byte picture name in the header
constexpr uint8_t SGI_STORAGE_PLAIN = 0;
constexpr uint8_t SGI_STORAGE_RLE = 1;
constexpr uint16_t SGI_DIMENSION_PLANE = 2;   // one channel
constexpr uint16_t SGI_DIMENSION_PLANES = 3;  // several channels
constexpr int SGI_MAX_SIZE = 65535;     // width, height and channels are 16-bit
constexpr int SGI_PIXEL_MAX = 255;      // one byte per channel
constexpr int SGI_MAX_RUN = 127;        // a control byte holds a count of 1..127
constexpr uint8_t SGI_COPY_FLAG = 0x80; // control bit: copy the next n bytes
constexpr int SGI_MIN_REPEAT = 3;       // shorter repeats cost more than a copy

// ---- BMF layout -------------------------------------------------------------

constexpr char BMF_MAGIC[3] = {'B', 'M', 'F'};
constexpr int BMF_NAME_SIZE = 96;
constexpr int BMF_GLYPH_COUNT = 256;  // one rectangle per character code
constexpr int BMF_GLYPH_BYTES = 16;   // four little-endian floats

void put_be16(std::vector<uint8_t> &out, size_t at, uint32_t value)
{
  out[at] = (uint8_t)(value >> 8);
  out[at + 1] = (uint8_t)value;
}

void put_be32(std::vector<uint8_t> &out, size_t at, uint32_t value)
{
  put_be16(out, at, value >> 16);
  put_be16(out, at + 2, value & 0xFFFF);
}

void append_le_float(std::vector<uint8_t> &out, float value)
{
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back((uint8_t)(bits >> shift));
}

// Length of the run of equal bytes that starts at row[at], at most one
// control byte's worth.
int repeat_length(const uint8_t *row, int width, int at)
{
  int length = 1;
  while (at + length < width && length < SGI_MAX_RUN && row[at + length] == row[at])
    length++;
  return length;
}

// Packs one row: repeats of three or more equal bytes as (n, byte), every
// other stretch copied as (0x80 | n, bytes...), then the 0 end mark.
void pack_row(const uint8_t *row, int width, std::vector<uint8_t> &out)
{
  int at = 0;
  while (at < width) {
    int repeat = repeat_length(row, width, at);
    if (repeat >= SGI_MIN_REPEAT) {
      out.push_back((uint8_t)repeat);
      out.push_back(row[at]);
      at += repeat;
      continue;
    }
    int start = at;
    while (at < width && at - start < SGI_MAX_RUN &&
           repeat_length(row, width, at) < SGI_MIN_REPEAT)
      at++;
    out.push_back((uint8_t)(SGI_COPY_FLAG | (at - start)));
    out.insert(out.end(), row + start, row + at);
  }
  out.push_back(0);
}

bool picture_is_sound(const sgi_picture &picture)
{
  if (picture.width < 1 || picture.height < 1 || picture.channels < 1)
    return false;
  if (picture.width > SGI_MAX_SIZE || picture.height > SGI_MAX_SIZE ||
      picture.channels > SGI_MAX_SIZE)
    return false;
  return picture.planes.size() ==
         (size_t)picture.width * picture.height * picture.channels;
}

}  // namespace

std::vector<uint8_t> sgi_encode(const sgi_picture &picture)
{
  if (!picture_is_sound(picture))
    return {};
  std::vector<uint8_t> out(SGI_HEADER_SIZE, 0);
  put_be16(out, 0, SGI_MAGIC);
  out[2] = picture.run_length ? SGI_STORAGE_RLE : SGI_STORAGE_PLAIN;
  out[3] = 1;  // bytes per channel
  put_be16(out, 4, picture.channels > 1 ? SGI_DIMENSION_PLANES : SGI_DIMENSION_PLANE);
  put_be16(out, 6, picture.width);
  put_be16(out, 8, picture.height);
  put_be16(out, 10, picture.channels);
  put_be32(out, 12, 0);              // smallest pixel value
  put_be32(out, 16, SGI_PIXEL_MAX);  // largest pixel value
  std::memcpy(&out[SGI_NAME_OFFSET], "pilko", 5);

  const size_t row_count = (size_t)picture.height * picture.channels;
  const uint8_t *planes = picture.planes.data();
  if (!picture.run_length) {
    out.insert(out.end(), planes, planes + picture.planes.size());
    return out;
  }
  // Two tables of row_count entries (offsets, then lengths), indexed by
  // row + channel * height, which is also the order of the rows in planes.
  size_t tables = out.size();
  out.resize(tables + 2 * 4 * row_count);
  for (size_t index = 0; index < row_count; index++) {
    size_t start = out.size();
    pack_row(planes + index * picture.width, picture.width, out);
    put_be32(out, tables + 4 * index, (uint32_t)start);
    put_be32(out, tables + 4 * (row_count + index), (uint32_t)(out.size() - start));
  }
  return out;
}

std::vector<uint8_t> bmf_encode(const char *name, const bitmap_glyph_rect glyphs[256],
                                const std::vector<uint8_t> &image)
{
  std::vector<uint8_t> out;
  out.reserve(sizeof BMF_MAGIC + BMF_NAME_SIZE + BMF_GLYPH_COUNT * BMF_GLYPH_BYTES + image.size());
  for (char letter : BMF_MAGIC)
    out.push_back((uint8_t)letter);
  const char *text = name ? name : "";
  size_t name_length = strnlen(text, BMF_NAME_SIZE);
  for (size_t i = 0; i < BMF_NAME_SIZE; i++)
    out.push_back(i < name_length ? (uint8_t)text[i] : 0);
  for (int code = 0; code < BMF_GLYPH_COUNT; code++) {
    append_le_float(out, glyphs[code].x);
    append_le_float(out, glyphs[code].y);
    append_le_float(out, glyphs[code].width);
    append_le_float(out, glyphs[code].height);
  }
  out.insert(out.end(), image.begin(), image.end());
  return out;
}

int bmf_write(const char *path, const char *name, const bitmap_glyph_rect glyphs[256],
              const sgi_picture &picture)
{
  std::vector<uint8_t> image = sgi_encode(picture);
  if (image.empty())
    return -1;
  std::vector<uint8_t> bytes = bmf_encode(name, glyphs, image);
  FILE *file = std::fopen(path, "wb");
  if (!file)
    return -1;
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0)
    written = false;
  return written ? 0 : -1;
}
