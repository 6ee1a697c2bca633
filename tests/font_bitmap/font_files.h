// Test helpers for bitmap fonts: temporary folders, pictures made in code,
// and the SGI decoder run over bytes in memory.
#pragma once

#include "font/font_write.h"

#include <cstdint>
#include <string>
#include <vector>

using bytes = std::vector<uint8_t>;

// A fresh folder under the temporary folder, removed with its files.
struct temp_dir {
  std::string path;
  temp_dir();
  ~temp_dir();
  temp_dir(const temp_dir &) = delete;
  temp_dir &operator=(const temp_dir &) = delete;
};
void write_file(const std::string &path, const bytes &content);
bytes read_file(const std::string &path);

// A picture whose byte for (x, y, channel) is value(x, y, channel).
sgi_picture make_picture(int width, int height, int channels, bool run_length,
                         int (*value)(int x, int y, int channel));

// What the decoder made of some bytes: ok false when it refused them.
struct decoded_picture {
  bool ok;
  int width, height, channels;
  bytes rgba;  // bottom row first
};
// Decodes bytes with the picture starting skip bytes into the file.
decoded_picture decode_sgi(const bytes &file, size_t skip = 0);

// The RGBA pixel (x, y) of a decoded picture, y counted from the bottom.
bytes pixel_at(const decoded_picture &picture, int x, int y);

// A run-length SGI file built by hand from packed rows in table order
// (row + channel * height).
bytes hand_packed_sgi(int width, int height, int channels, const std::vector<bytes> &rows);

// Big-endian fields in a byte buffer, and the SGI header offsets the tests set.
void set_be16(bytes &file, size_t at, uint32_t value);
void set_be32(bytes &file, size_t at, uint32_t value);
constexpr size_t SGI_TYPE = 2, SGI_WIDTH = 6, SGI_HEIGHT = 8, SGI_CHANNELS = 10, SGI_TABLES = 512;
