// Helpers of the bitmap font tests: pictures made in code and decoded.
#pragma once

#include "font/font.h"
#include "font/font_write.h"
#include "tests/support/scratch_folder.h"
#include "tools/asset-kit/files.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using bytes = std::vector<uint8_t>;


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
