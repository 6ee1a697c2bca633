// Writes "GLF" vector font files, for the vector font maker and the tests.
#include "font/font_write.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr char GLF_MAGIC[3] = {'G', 'L', 'F'};
constexpr int GLF_RESERVED_SIZE = 28;
constexpr size_t BYTE_LIMIT = 255;  // every count in the file is one byte

void put_float(std::vector<uint8_t> &out, float value)
{
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back((uint8_t)(bits >> shift));
}

// Appends one symbol record; false when a count does not fit its byte.
bool put_symbol(std::vector<uint8_t> &out, const glf_symbol_source &s)
{
  size_t vertices = s.vertices.size() / 2;
  size_t triangles = s.triangles.size() / 3;
  if (s.vertices.size() % 2 || s.triangles.size() % 3 || vertices > BYTE_LIMIT ||
      triangles > BYTE_LIMIT || s.contour_ends.size() > BYTE_LIMIT)
    return false;
  out.push_back(s.code);
  out.push_back((uint8_t)vertices);
  out.push_back((uint8_t)triangles);
  out.push_back((uint8_t)s.contour_ends.size());
  for (float v : s.vertices)
    put_float(out, v);
  out.insert(out.end(), s.triangles.begin(), s.triangles.end());
  out.insert(out.end(), s.contour_ends.begin(), s.contour_ends.end());
  return true;
}

}  // namespace

int glf_write(const char *path, const char *name, const std::vector<glf_symbol_source> &symbols)
{
  if (symbols.size() > BYTE_LIMIT)
    return -1;
  std::vector<uint8_t> out(GLF_MAGIC, GLF_MAGIC + sizeof GLF_MAGIC);
  char stored_name[VECTOR_FONT_NAME_SIZE] = {};
  std::strncpy(stored_name, name ? name : "", sizeof stored_name);
  out.insert(out.end(), stored_name, stored_name + sizeof stored_name);
  out.push_back((uint8_t)symbols.size());
  out.insert(out.end(), GLF_RESERVED_SIZE, 0);
  for (const glf_symbol_source &s : symbols)
    if (!put_symbol(out, s))
      return -1;
  FILE *file = std::fopen(path, "wb");
  if (!file)
    return -1;
  bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
  return std::fclose(file) == 0 && written ? 0 : -1;
}
