// Test fonts for the vector font tests.
#include "font_files.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

temp_folder::temp_folder()
{
  std::string pattern = (std::filesystem::temp_directory_path() / "pilko-fontvec-XXXXXX").string();
  if (mkdtemp(pattern.data()))
    path_ = pattern;
  EXPECT_FALSE(path_.empty()) << "cannot make a temporary folder";
}

temp_folder::~temp_folder()
{
  if (!path_.empty())
    std::filesystem::remove_all(path_);
}

std::string temp_folder::file(const std::string &name) const
{
  return path_ + "/" + name;
}

glf_symbol_source box_symbol(uint8_t code, float min_x, float max_x, float min_y, float max_y)
{
  glf_symbol_source s;
  s.code = code;
  s.vertices = {min_x, min_y, max_x, min_y, max_x, max_y, min_x, max_y};
  s.triangles = {0, 1, 2, 0, 2, 3};
  s.contour_ends = {3};
  return s;
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
  std::vector<unsigned char> bytes;
  if (FILE *f = std::fopen(path.c_str(), "rb")) {
    int c;
    while ((c = std::fgetc(f)) != EOF)
      bytes.push_back((unsigned char)c);
    std::fclose(f);
  }
  return bytes;
}

std::string write_bytes(const temp_folder &folder, const std::string &name,
                        const std::vector<unsigned char> &bytes)
{
  std::string path = folder.file(name);
  FILE *f = std::fopen(path.c_str(), "wb");
  EXPECT_NE(f, nullptr) << path;
  if (f) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  return path;
}
