// Helpers of the bitmap font tests: a temporary folder and pictures made in code.
#pragma once

#include "font/font_write.h"
#include "tools/asset-kit/files.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <string>

using bytes = std::vector<uint8_t>;

// A fresh folder under the temporary folder, removed with its files.
struct temp_dir {
  std::string path = std::filesystem::temp_directory_path() / "pilko-fontbmp-XXXXXX";
  temp_dir() { EXPECT_NE(mkdtemp(path.data()), nullptr); }
  ~temp_dir() { std::error_code ignored; std::filesystem::remove_all(path, ignored); }
};

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
