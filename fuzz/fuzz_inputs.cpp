// One input through each font file reader (see fuzz_inputs.h).
#include "fuzz/fuzz_inputs.h"

#include "font/bmf_image.h"
#include "font/font.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

void check(bool promise, const char *what)
{
  if (promise)
    return;
  std::fprintf(stderr, "reader broke its promise: %s\n", what);
  std::abort();
}

std::string write_input(const char *suffix, const uint8_t *data, size_t size)
{
  const char *base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/pilko-fuzz-XXXXXX" + suffix;
  int fd = mkstemps(pattern.data(), (int)std::string(suffix).size());
  check(fd >= 0, "a temporary file for the input");
  check(write(fd, data, size) == (ssize_t)size && close(fd) == 0, "the input is written");
  return pattern;
}

namespace {

// Reads the bytes through read (a bare SGI picture or a whole BMF file) and
// checks the picture it accepts; true when it was accepted.
bool decoded(const uint8_t *data, size_t size, unsigned char *(*read)(FILE *, int *, int *))
{
  std::vector<uint8_t> copy(data, data + size);
  copy.push_back(0);  // fmemopen wants a buffer, even for no bytes
  FILE *file = fmemopen(copy.data(), size, "rb");
  if (!file)
    return false;
  int width, height;
  unsigned char *pixels = read(file, &width, &height);
  std::fclose(file);
  if (!pixels)
    return false;
  check(width >= 1 && width <= BMF_IMAGE_MAX_SIZE, "picture width in 1..4096");
  check(height >= 1 && height <= BMF_IMAGE_MAX_SIZE, "picture height in 1..4096");
  // Touch the last byte: the sanitizers catch a buffer smaller than promised.
  volatile unsigned char last = pixels[(size_t)width * height * 4 - 1];
  (void)last;
  std::free(pixels);
  return true;
}

// Every index of an accepted symbol names one of its vertices, and its
// contours end on rising indices up to the last vertex.
void check_symbol(const vector_symbol *symbol)
{
  for (int i = 0; i < symbol->triangle_count * 3; i++)
    check(symbol->triangles[i] < symbol->vertex_count, "triangle index within the vertices");
  for (int k = 0; k < symbol->contour_count; k++)
    check(k == 0 || symbol->contour_ends[k] > symbol->contour_ends[k - 1], "contour ends rise");
  if (symbol->contour_count > 0)
    check(symbol->contour_ends[symbol->contour_count - 1] == symbol->vertex_count - 1,
          "last contour ends on the last vertex");
}

}  // namespace

bool fuzz_bmf_input(const uint8_t *data, size_t size)
{
  bool picture = decoded(data, size, [](FILE *file, int *width, int *height) {
    int channels;
    return bmf_image_read_rgba(file, width, height, &channels);
  });
  bool font = decoded(data, size, [](FILE *file, int *width, int *height) {
    bitmap_glyph_rect glyphs[BMF_GLYPH_COUNT];
    return bmf_read_font(file, glyphs, width, height);
  });
  return picture || font;
}

bool fuzz_glf_input(const uint8_t *data, size_t size)
{
  std::string path = write_input(".glf", data, size);
  static vector_font font;
  bool read = vector_font_read_file(path.c_str(), &font) == 0;
  unlink(path.c_str());
  if (!read)
    return false;
  for (const vector_symbol *symbol : font.symbols)
    if (symbol)
      check_symbol(symbol);
  vector_font_release_symbols(&font);
  return true;
}
