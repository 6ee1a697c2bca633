// Pictures in floating-point RGB and their BMP and TGA writers.
#include "tools/asset-kit/picture.h"

#include "tools/asset-kit/files.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

constexpr int BMP_FILE_HEADER_SIZE = 14;
constexpr int BMP_INFO_HEADER_SIZE = 40;
constexpr int TGA_TRUE_COLOUR = 2;     // uncompressed true-colour image type
constexpr int TGA_ORIGIN_TOP = 0x20;   // descriptor bit: the first row is the top one
constexpr int BITS_PER_PIXEL = 24;
constexpr int BMP_PIXELS_PER_METRE = 2835;  // 72 dots per inch

int wrap(int v, int n)
{
  int m = v % n;
  return m < 0 ? m + n : m;
}

// Appends the pixel rows as B, G, R bytes, bottom row first or top row
// first, each row padded to a multiple of pad bytes.
void put_rows(byte_buffer &out, const picture &pic, bool bottom_first, int pad)
{
  for (int i = 0; i < pic.height; ++i) {
    int y = bottom_first ? pic.height - 1 - i : i;
    size_t row_start = out.size();
    for (int x = 0; x < pic.width; ++x) {
      unsigned char c[3];
      quantize(pic.pixels[y * pic.width + x], c);
      out.push_back(c[2]);
      out.push_back(c[1]);
      out.push_back(c[0]);
    }
    while ((out.size() - row_start) % pad != 0)
      out.push_back(0);
  }
}

}  // namespace

picture make_picture(int width, int height, rgb fill)
{
  picture pic;
  pic.width = width;
  pic.height = height;
  pic.pixels.assign(static_cast<size_t>(width) * height, fill);
  return pic;
}

rgb &pixel_at(picture &pic, int x, int y)
{
  return pic.pixels[wrap(y, pic.height) * pic.width + wrap(x, pic.width)];
}

rgb pixel_at(const picture &pic, int x, int y)
{
  return pic.pixels[wrap(y, pic.height) * pic.width + wrap(x, pic.width)];
}

rgb mix(rgb a, rgb b, float t)
{
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

rgb scale(rgb c, float k)
{
  return {c.r * k, c.g * k, c.b * k};
}

rgb add(rgb a, rgb b)
{
  return {a.r + b.r, a.g + b.g, a.b + b.b};
}

rgb rgb255(int r, int g, int b)
{
  return {r / 255.0f, g / 255.0f, b / 255.0f};
}

float clamp01(float x)
{
  return x < 0 ? 0 : x > 1 ? 1 : x;
}

float smoothstep(float edge0, float edge1, float x)
{
  float t = clamp01((x - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

void blend_pixel(picture &pic, int x, int y, rgb colour, float coverage)
{
  if (x < 0 || y < 0 || x >= pic.width || y >= pic.height || coverage <= 0)
    return;
  rgb &p = pic.pixels[y * pic.width + x];
  p = mix(p, colour, clamp01(coverage));
}

void fill_disc(picture &pic, float cx, float cy, float radius, rgb colour)
{
  int x0 = static_cast<int>(std::floor(cx - radius - 1));
  int x1 = static_cast<int>(std::ceil(cx + radius + 1));
  int y0 = static_cast<int>(std::floor(cy - radius - 1));
  int y1 = static_cast<int>(std::ceil(cy + radius + 1));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
      blend_pixel(pic, x, y, colour, radius + 0.5f - d);
    }
}

void draw_shaded_ball(picture &pic, float cx, float cy, float radius, rgb colour)
{
  const float lx = -0.45f, ly = -0.55f, lz = 0.70f;  // light from the top left
  for (int y = static_cast<int>(cy - radius - 1); y <= cy + radius + 1; ++y)
    for (int x = static_cast<int>(cx - radius - 1); x <= cx + radius + 1; ++x) {
      float nx = (x + 0.5f - cx) / radius, ny = (y + 0.5f - cy) / radius;
      float r2 = nx * nx + ny * ny;
      float nz = std::sqrt(std::fmax(0.0f, 1 - r2));
      float diffuse = std::fmax(0.0f, nx * lx + ny * ly + nz * lz);
      float shine = std::pow(std::fmax(0.0f, nx * 0.3f + ny * 0.4f + nz * 0.87f), 60.0f);
      rgb c = add(scale(colour, 0.25f + 0.85f * diffuse), scale(rgb{1, 1, 1}, 0.8f * shine));
      blend_pixel(pic, x, y, c, (1.0f - std::sqrt(r2)) * radius + 0.5f);
    }
}

void fill_round_rect(picture &pic, int x, int y, int width, int height, float radius, rgb top,
                     rgb bottom, float opacity)
{
  for (int j = 0; j < height; ++j) {
    rgb c = height > 1 ? mix(top, bottom, j / float(height - 1)) : top;
    for (int i = 0; i < width; ++i) {
      // Distance outside the rounded corner, if the pixel lies in one.
      float cx = std::fmax(0.0f, std::fmax(radius - (i + 0.5f), (i + 0.5f) - (width - radius)));
      float cy = std::fmax(0.0f, std::fmax(radius - (j + 0.5f), (j + 0.5f) - (height - radius)));
      float inside = radius > 0 ? clamp01(radius + 0.5f - std::hypot(cx, cy)) : 1.0f;
      blend_pixel(pic, x + i, y + j, c, inside * opacity);
    }
  }
}

void quantize(rgb c, unsigned char out[3])
{
  const float channels[3] = {c.r, c.g, c.b};
  for (int i = 0; i < 3; ++i)
    out[i] = static_cast<unsigned char>(std::lround(clamp01(channels[i]) * 255.0f));
  if (out[0] == 255 && out[1] == 0 && out[2] == 255)
    out[2] = 254;
}

int write_bmp(const char *path, const picture &pic)
{
  const int row_bytes = (pic.width * 3 + 3) / 4 * 4;
  const uint32_t data_size = static_cast<uint32_t>(row_bytes) * pic.height;
  const uint32_t data_offset = BMP_FILE_HEADER_SIZE + BMP_INFO_HEADER_SIZE;
  byte_buffer out;
  out.push_back('B');
  out.push_back('M');
  put_le32(out, data_offset + data_size);
  put_le32(out, 0);  // reserved
  put_le32(out, data_offset);
  put_le32(out, BMP_INFO_HEADER_SIZE);
  put_le32(out, pic.width);
  put_le32(out, pic.height);  // positive: rows are stored bottom first
  put_le16(out, 1);           // colour planes
  put_le16(out, BITS_PER_PIXEL);
  put_le32(out, 0);  // no compression
  put_le32(out, data_size);
  put_le32(out, BMP_PIXELS_PER_METRE);
  put_le32(out, BMP_PIXELS_PER_METRE);
  put_le32(out, 0);  // no palette
  put_le32(out, 0);
  put_rows(out, pic, true, 4);
  return write_file(path, out) ? 0 : -1;
}

int read_bmp(const char *path, picture &pic)
{
  byte_buffer bytes;
  if (!read_file(path, bytes))
    return -1;
  auto get32 = [&](size_t at) {
    return static_cast<int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                static_cast<uint32_t>(bytes[at + 3]) << 24);
  };
  const size_t header = BMP_FILE_HEADER_SIZE + BMP_INFO_HEADER_SIZE;
  if (bytes.size() < header || bytes[0] != 'B' || bytes[1] != 'M')
    return -1;
  const int width = get32(18), height = get32(22);
  const int bits = bytes[28] | bytes[29] << 8;
  const int offset = get32(10);
  const int row_bytes = (width * 3 + 3) / 4 * 4;
  if (width <= 0 || height <= 0 || bits != BITS_PER_PIXEL || get32(30) != 0 ||
      offset < 0 || bytes.size() < static_cast<size_t>(offset) + static_cast<size_t>(row_bytes) * height)
    return -1;
  pic = make_picture(width, height, {0, 0, 0});
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const unsigned char *p = &bytes[offset + (height - 1 - y) * row_bytes + x * 3];
      pic.pixels[y * width + x] = rgb255(p[2], p[1], p[0]);
    }
  return 0;
}

int write_tga(const char *path, const picture &pic)
{
  byte_buffer out;
  out.push_back(0);  // no image id
  out.push_back(0);  // no colour map
  out.push_back(TGA_TRUE_COLOUR);
  for (int i = 0; i < 5; ++i)
    out.push_back(0);  // colour map start, length and entry size: unused
  put_le16(out, 0);       // x origin
  put_le16(out, 0);       // y origin
  put_le16(out, pic.width);
  put_le16(out, pic.height);
  out.push_back(BITS_PER_PIXEL);
  // Rows top first, said in the descriptor: every reader honours that flag,
  // while some viewers ignore the bottom-first default.
  out.push_back(TGA_ORIGIN_TOP);
  put_rows(out, pic, false, 1);
  return write_file(path, out) ? 0 : -1;
}
