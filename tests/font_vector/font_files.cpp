// Test fonts for the vector font tests.
#include "font_files.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

temp_folder::temp_folder()
{
  std::string pattern = (std::filesystem::temp_directory_path() / "pilko-fontvec-XXXXXX").string();
  path = mkdtemp(pattern.data()) ? pattern : "";
  EXPECT_FALSE(path.empty()) << "cannot make a temporary folder";
}

temp_folder::~temp_folder()
{
  if (!path.empty())
    std::filesystem::remove_all(path);
}

glf_symbol_source box_symbol(uint8_t code, float min_x, float max_x, float min_y, float max_y)
{
  return {code, {min_x, min_y, max_x, min_y, max_x, max_y, min_x, max_y}, {0, 1, 2, 0, 2, 3}, {3}};
}

std::string write_font(const temp_folder &folder, const std::string &name,
                       const std::vector<glf_symbol_source> &symbols)
{
  std::string path = folder.file(name);
  EXPECT_EQ(glf_write(path.c_str(), name.c_str(), symbols), 0) << path;
  return path;
}

std::vector<unsigned char> read_file(const std::string &path)
{
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string write_bytes(const temp_folder &folder, const std::string &name,
                        const std::vector<unsigned char> &bytes)
{
  std::string path = folder.file(name);
  std::ofstream(path, std::ios::binary).write((const char *)bytes.data(), bytes.size());
  return path;
}
