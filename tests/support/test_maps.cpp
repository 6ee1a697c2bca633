// Map files made by tests.
#include "tests/support/test_maps.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

test_map::test_map()
{
  for (auto &column : drop_marker)
    for (int &marker : column)
      marker = 1;
}

namespace {

void put_word(std::vector<unsigned char> &bytes, uint32_t word)
{
  for (int shift = 0; shift < 32; shift += 8)
    bytes.push_back((unsigned char)(word >> shift));
}

void put_float(std::vector<unsigned char> &bytes, float value)
{
  uint32_t word;
  std::memcpy(&word, &value, sizeof word);
  put_word(bytes, word);
}

}  // namespace

std::vector<unsigned char> map_bytes(const test_map &map)
{
  std::vector<unsigned char> bytes;
  put_word(bytes, (uint32_t)map.start_x);
  put_word(bytes, (uint32_t)map.start_y);
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++) {
      put_float(bytes, map.height[x][y]);
      put_word(bytes, (uint32_t)map.drop_marker[x][y]);
      put_word(bytes, (uint32_t)map.kind[x][y]);
    }
  put_word(bytes, (uint32_t)map.enemies.size());
  for (const auto &e : map.enemies) {
    put_word(bytes, (uint32_t)e.x);
    put_word(bytes, (uint32_t)e.y);
    put_word(bytes, (uint32_t)e.direction);
  }
  return bytes;
}

std::string write_file(const std::string &path, const std::vector<unsigned char> &bytes)
{
  FILE *file = std::fopen(path.c_str(), "wb");
  if (file) {
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  return path;
}

std::string temp_folder()
{
  char pattern[] = "/tmp/pilko-test-XXXXXX";
  const char *made = mkdtemp(pattern);
  return made ? made : "/tmp";
}
