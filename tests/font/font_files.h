// Test fonts and pictures for the font library's tests, made in code: vector
// fonts through the GLF writer, SGI pictures through the BMF writer, both in
// a scratch folder that goes away with the test; and the SGI decoder's pixels.
#pragma once

#include "font/font.h"
#include "font/font_write.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

using bytes = std::vector<uint8_t>;

// A scratch folder that also writes vector fonts into itself.
struct font_folder : scratch_folder {
  // Writes a font of these symbols as name in the folder; returns its path.
  std::string font(const std::string &name, const std::vector<glf_symbol_source> &symbols) const
  {
    EXPECT_EQ(glf_write(file(name).c_str(), name.c_str(), symbols), 0) << name;
    return file(name);
  }
};

// A square symbol: the box's four corners, two triangles, one contour.
inline glf_symbol_source box_symbol(uint8_t code, float min_x, float max_x, float min_y, float max_y)
{
  return {code, {min_x, min_y, max_x, min_y, max_x, max_y, min_x, max_y}, {0, 1, 2, 0, 2, 3}, {3}};
}

// Values rounded to four places, -0 made 0, for comparing what GL and the layout give.
inline std::vector<float> rounded(std::vector<float> values)
{
  for (float &v : values)
    v = std::round(v * 1e4f) / 1e4f + 0.0f;
  return values;
}

// A picture whose byte for (x, y, channel) is value(x, y, channel).
inline sgi_picture make_picture(int width, int height, int channels, bool run_length,
                                int (*value)(int x, int y, int channel))
{
  sgi_picture picture{width, height, channels, {}, run_length};
  for (int c = 0; c < channels; c++)
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++)
        picture.planes.push_back((uint8_t)value(x, y, c));
  return picture;
}

// The decoder's RGBA pixels for a file, bottom row first; none when it refused it.
inline bytes decode_sgi(bytes file)
{
  size_t size = file.size();
  file.push_back(0);  // fmemopen wants a buffer, even for no bytes
  FILE *stream = fmemopen(file.data(), size, "rb");
  int width, height, channels;
  unsigned char *rgba = bmf_image_read_rgba(stream, &width, &height, &channels);
  std::fclose(stream);
  bytes pixels(rgba, rgba + (rgba ? (size_t)width * height * 4 : 0));
  std::free(rgba);
  return pixels;
}
