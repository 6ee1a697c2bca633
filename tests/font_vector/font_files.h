// Test fonts for the vector font tests, made with the GLF writer or byte by
// byte in a temporary folder that goes away with the test.
#pragma once

#include "font/font_write.h"

#include <string>
#include <vector>

struct temp_folder {
  std::string path;
  temp_folder();
  ~temp_folder();
  std::string file(const std::string &name) const { return path + "/" + name; }
};

// A rectangle symbol: four vertices in one contour, two triangles.
glf_symbol_source box_symbol(uint8_t code, float min_x, float max_x, float min_y, float max_y);
// Writes a GLF font of the symbols into the folder and returns its path.
std::string write_font(const temp_folder &folder, const std::string &name,
                       const std::vector<glf_symbol_source> &symbols);
std::vector<unsigned char> read_file(const std::string &path);
std::string write_bytes(const temp_folder &folder, const std::string &name,
                        const std::vector<unsigned char> &bytes);
