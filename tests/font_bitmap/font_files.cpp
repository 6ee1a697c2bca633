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
  EXPECT_NE(mkdtemp(pattern.data()), nullptr);
  path = pattern;
}

temp_dir::~temp_dir()
{
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

void write_file(const std::string &path, const bytes &content)
{
  std::ofstream out(path, std::ios::binary);
  out.write((const char *)content.data(), (std::streamsize)content.size());
  ASSERT_TRUE(out.good()) << path;
}

bytes read_file(const std::string &path)
{
  std::ifstream in(path, std::ios::binary);
  return bytes(std::istreambuf_iterator<char>(in), {});
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

decoded_picture decode_sgi(const bytes &file, size_t skip)
{
  decoded_picture result{false, -1, -1, -1, {}};
  bytes copy = file;
  copy.push_back(0);  // fmemopen wants a writable buffer, even for no bytes
  FILE *stream = fmemopen(copy.data(), file.size(), "rb");
  if (!stream) {
    ADD_FAILURE() << "fmemopen failed";
    return result;
  }
  std::fseek(stream, (long)skip, SEEK_SET);
  unsigned char *rgba =
      bmf_image_read_rgba(stream, &result.width, &result.height, &result.channels);
  std::fclose(stream);
  if (rgba) {
    result.ok = true;
    result.rgba.assign(rgba, rgba + (size_t)result.width * result.height * 4);
    std::free(rgba);
  }
  return result;
}

bytes pixel_at(const decoded_picture &picture, int x, int y)
{
  auto at = picture.rgba.begin() + ((size_t)y * picture.width + x) * 4;
  return bytes(at, at + 4);
}

void set_be16(bytes &file, size_t at, uint32_t value)
{
  file[at] = (uint8_t)(value >> 8);
  file[at + 1] = (uint8_t)value;
}

void set_be32(bytes &file, size_t at, uint32_t value)
{
  set_be16(file, at, value >> 16);
  set_be16(file, at + 2, value & 0xFFFF);
}

bytes hand_packed_sgi(int width, int height, int channels, const std::vector<bytes> &rows)
{
  bytes file(SGI_TABLES + 8 * rows.size(), 0);
  set_be16(file, 0, 474);
  set_be16(file, SGI_TYPE, 0x0101);  // run-length, one byte a channel
  set_be16(file, 4, 3);
  set_be16(file, SGI_WIDTH, width);
  set_be16(file, SGI_HEIGHT, height);
  set_be16(file, SGI_CHANNELS, channels);
  for (size_t i = 0; i < rows.size(); i++) {
    set_be32(file, SGI_TABLES + 4 * i, (uint32_t)file.size());
    set_be32(file, SGI_TABLES + 4 * (rows.size() + i), (uint32_t)rows[i].size());
    file.insert(file.end(), rows[i].begin(), rows[i].end());
  }
  return file;
}
