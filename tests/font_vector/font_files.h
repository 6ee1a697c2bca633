// Test fonts made with the GLF writer or byte by byte, in a temporary folder that goes away with the test.
#pragma once

#include "font/font_write.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

struct temp_folder {
  std::string path = (std::filesystem::temp_directory_path() / "pilko-fontvec-XXXXXX").string();
  temp_folder() { EXPECT_NE(mkdtemp(path.data()), nullptr); }
  ~temp_folder() { std::filesystem::remove_all(path); }
  std::string file(const std::string &name) const { return path + "/" + name; }
};

// A rectangle: one contour of four vertices, two triangles.
inline glf_symbol_source box_symbol(uint8_t code, float min_x, float max_x, float min_y, float max_y)
{
  return {code, {min_x, min_y, max_x, min_y, max_x, max_y, min_x, max_y}, {0, 1, 2, 0, 2, 3}, {3}};
}

inline std::string write_font(const temp_folder &folder, const std::string &name,
                              const std::vector<glf_symbol_source> &symbols)
{
  std::string path = folder.file(name);
  EXPECT_EQ(glf_write(path.c_str(), name.c_str(), symbols), 0) << path;
  return path;
}

inline std::vector<unsigned char> read_file(const std::string &path)
{
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
