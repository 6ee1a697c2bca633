// Test helpers for bitmap fonts: temporary folders, pictures made in code,
// and running the SGI decoder over bytes in memory.
#pragma once

#include "font/font_write.h"

#include <cstdint>
#include <string>
#include <vector>

// A fresh folder under the system's temporary folder, removed with all its
// files when the object goes.
struct temp_dir {
  std::string path;
  temp_dir();
  ~temp_dir();
  temp_dir(const temp_dir &) = delete;
  temp_dir &operator=(const temp_dir &) = delete;
};
void write_file(const std::string &path, const std::vector<uint8_t> &bytes);
std::vector<uint8_t> read_file(const std::string &path);

// A picture whose byte for (x, y, channel) is value(x, y, channel).
sgi_picture make_picture(int width, int height, int channels, bool run_length,
                         int (*value)(int x, int y, int channel));

// What the decoder made of some bytes: ok false when it refused them.
struct decoded_picture {
  bool ok;
  int width, height, channels;
  std::vector<uint8_t> rgba;  // bottom row first
};
// Decodes bytes with the picture starting skip bytes into the file.
decoded_picture decode_sgi(const std::vector<uint8_t> &bytes, size_t skip = 0);

// The RGBA pixel (x, y) of a decoded picture, y counted from the bottom.
std::vector<uint8_t> pixel_at(const decoded_picture &picture, int x, int y);

// A run-length SGI file built by hand from packed rows given in table order
// (row + channel * height); header fields can be overridden afterwards.
std::vector<uint8_t> hand_packed_sgi(int width, int height, int channels,
                                     const std::vector<std::vector<uint8_t>> &rows);

// Sets a big-endian 16- or 32-bit field in a byte buffer.
void set_be16(std::vector<uint8_t> &bytes, size_t at, uint32_t value);
void set_be32(std::vector<uint8_t> &bytes, size_t at, uint32_t value);

// Header offsets of an SGI file, as the tests need them.
constexpr size_t SGI_TYPE_STORAGE = 2, SGI_TYPE_BYTES = 3, SGI_WIDTH = 6, SGI_HEIGHT = 8,
                 SGI_CHANNELS = 10, SGI_TABLES = 512;
