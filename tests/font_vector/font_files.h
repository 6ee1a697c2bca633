// Test fonts made with the GLF writer or byte by byte, in a temporary folder that goes away with the test.
#pragma once

#include "font/font_write.h"
#include "tests/support/scratch_folder.h"
#include "tools/asset-kit/files.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstdlib>
#include <filesystem>

// A scratch folder that also writes fonts into itself.
struct font_folder : scratch_folder {
  // Writes a font of these symbols as name in the folder; returns its path.
  std::string font(const std::string &name, const std::vector<glf_symbol_source> &symbols) const
  {
    EXPECT_EQ(glf_write(file(name).c_str(), name.c_str(), symbols), 0) << name;
    return file(name);
  }
};

inline glf_symbol_source box_symbol(uint8_t code, float min_x, float max_x, float min_y, float max_y)
{
  return {code, {min_x, min_y, max_x, min_y, max_x, max_y, min_x, max_y}, {0, 1, 2, 0, 2, 3}, {3}};
}

inline std::vector<float> rounded(std::vector<float> values)
{
  for (float &v : values)
    v = std::round(v * 1e4f) / 1e4f + 0.0f;
  return values;
}
