// Test helpers for bitmap fonts (see font_files.h).
#include "font_files.h"

#include "font/font.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

temp_dir::temp_dir()
{
  const char *base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/pilko-fontbmp-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  EXPECT_NE(mkdtemp(name.data()), nullptr);
  path = name.data();
}

temp_dir::~temp_dir()
{
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

void write_file(const std::string &path, const std::vector<uint8_t> &bytes)
{
  std::ofstream out(path, std::ios::binary);
  out.write((const char *)bytes.data(), (std::streamsize)bytes.size());
  ASSERT_TRUE(out.good()) << path;
}

std::vector<uint8_t> read_file(const std::string &path)
{
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

sgi_picture make_picture(int width, int height, int channels, bool run_length,
                         int (*value)(int x, int y, int channel))
{
  sgi_picture picture{width, height, channels, {}, run_length};
  for (int c = 0; c < channels; c++)
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++)
        picture.planes.push_back((uint8_t)value(x, y, c));
  return picture;
}

decoded_picture decode_sgi(const std::vector<uint8_t> &bytes, size_t skip)
{
  decoded_picture result{false, -1, -1, -1, {}};
  std::vector<uint8_t> copy = bytes;  // fmemopen wants a writable buffer
  if (copy.empty())
    copy.push_back(0);
  FILE *file = fmemopen(copy.data(), bytes.size(), "rb");
  if (!file) {
    ADD_FAILURE() << "fmemopen failed";
    return result;
  }
  std::fseek(file, (long)skip, SEEK_SET);
  unsigned char *rgba =
      bmf_image_read_rgba(file, &result.width, &result.height, &result.channels);
  std::fclose(file);
  if (rgba) {
    result.ok = true;
    result.rgba.assign(rgba, rgba + (size_t)result.width * result.height * 4);
    std::free(rgba);
  }
  return result;
}

std::vector<uint8_t> pixel_at(const decoded_picture &picture, int x, int y)
{
  size_t at = ((size_t)y * picture.width + x) * 4;
  return std::vector<uint8_t>(picture.rgba.begin() + at, picture.rgba.begin() + at + 4);
}

void set_be16(std::vector<uint8_t> &bytes, size_t at, uint32_t value)
{
  bytes[at] = (uint8_t)(value >> 8);
  bytes[at + 1] = (uint8_t)value;
}

void set_be32(std::vector<uint8_t> &bytes, size_t at, uint32_t value)
{
  set_be16(bytes, at, value >> 16);
  set_be16(bytes, at + 2, value & 0xFFFF);
}

std::vector<uint8_t> hand_packed_sgi(int width, int height, int channels,
                                     const std::vector<std::vector<uint8_t>> &rows)
{
  std::vector<uint8_t> bytes(SGI_TABLES, 0);
  set_be16(bytes, 0, 474);
  bytes[SGI_TYPE_STORAGE] = 1;
  bytes[SGI_TYPE_BYTES] = 1;
  set_be16(bytes, 4, 3);
  set_be16(bytes, SGI_WIDTH, width);
  set_be16(bytes, SGI_HEIGHT, height);
  set_be16(bytes, SGI_CHANNELS, channels);
  size_t count = rows.size();
  bytes.resize(SGI_TABLES + 8 * count);
  for (size_t i = 0; i < count; i++) {
    set_be32(bytes, SGI_TABLES + 4 * i, (uint32_t)bytes.size());
    set_be32(bytes, SGI_TABLES + 4 * (count + i), (uint32_t)rows[i].size());
    bytes.insert(bytes.end(), rows[i].begin(), rows[i].end());
  }
  return bytes;
}
