// Test fonts for the vector font tests: made with the GLF writer or byte by
// byte, in a temporary folder of the test's own.
#pragma once

#include "font/font_write.h"

#include <string>
#include <vector>

// A temporary folder, removed with everything in it when the object goes.
class temp_folder {
 public:
  temp_folder();
  ~temp_folder();
  std::string file(const std::string &name) const;
 private:
  std::string path_;
};

// A rectangle symbol: four vertices in one contour, two triangles.
glf_symbol_source box_symbol(uint8_t code, float min_x, float max_x, float min_y, float max_y);

// Writes a GLF font of the given symbols and returns its path.
std::string write_font(const temp_folder &folder, const std::string &name,
                       const std::vector<glf_symbol_source> &symbols);

// The bytes of a file, and a file of given bytes.
std::vector<unsigned char> read_file(const std::string &path);
std::string write_bytes(const temp_folder &folder, const std::string &name,
                        const std::vector<unsigned char> &bytes);
