// Writers for the font library's two file formats, used by the font tools
// and by the tests to make their own fonts.
#pragma once

#include "font/font.h"

#include <cstdint>
#include <vector>

// One symbol to be written to a GLF file.
struct glf_symbol_source {
  uint8_t code;
  std::vector<float> vertices;         // pairs (x, y)
  std::vector<uint8_t> triangles;      // triples of vertex indices
  std::vector<uint8_t> contour_ends;
};

// Writes a GLF file; returns 0, or -1 when the file cannot be written or a
// count does not fit its one-byte field.
int glf_write(const char *path, const char *name, const std::vector<glf_symbol_source> &symbols);

// An SGI picture to be embedded in a BMF file: channel planes, rows bottom
// first, one byte per channel.
struct sgi_picture {
  int width, height, channels;
  std::vector<uint8_t> planes;  // channels * height * width bytes
  bool run_length;              // store run-length encoded
};

// The bytes of a complete SGI image file for the picture; empty when the
// sizes do not fit the format or do not match the planes.
std::vector<uint8_t> sgi_encode(const sgi_picture &picture);

// The bytes of a BMF file: name, the 256 glyph rectangles, then the given
// SGI image bytes as they are (tests embed damaged pictures this way).
std::vector<uint8_t> bmf_encode(const char *name, const bitmap_glyph_rect glyphs[256],
                                const std::vector<uint8_t> &image);

// Writes a BMF file: name, the 256 glyph rectangles and the picture; returns
// 0, or -1 when the picture is malformed or the file cannot be written.
int bmf_write(const char *path, const char *name, const bitmap_glyph_rect glyphs[256],
              const sgi_picture &picture);
