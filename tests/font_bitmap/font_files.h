// Helpers of the bitmap font tests: whole files and
// pictures made in code.
#pragma once

#include "font/font_write.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using bytes = std::vector<uint8_t>;


inline void write_file(const std::string &path, const bytes &content)
{
  std::ofstream(path, std::ios::binary).write((const char *)content.data(), content.size());
}

inline bytes read_file(const std::string &path)
{
  std::ifstream in(path, std::ios::binary);
  return bytes(std::istreambuf_iterator<char>(in), {});
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
