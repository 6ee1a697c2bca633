// A small corpus of sound font files made by our own writers.
#include "fuzz/seed_corpus.h"

#include "font/font_write.h"
#include "tools/asset-kit/files.h"

#include <string>

namespace {

// A picture with flat stretches and noise, so both kinds of run appear.
sgi_picture seed_picture(int width, int height, int channels, bool run_length)
{
  sgi_picture picture{width, height, channels, {}, run_length};
  for (int c = 0; c < channels; c++)
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++)
        picture.planes.push_back((uint8_t)(x < width / 2 ? 40 * c : x * 31 + y * 7 + c));
  return picture;
}

// A square, a triangle and an empty symbol: every part of a symbol record.
std::vector<glf_symbol_source> seed_symbols()
{
  glf_symbol_source square{'A', {-1, -1, 1, -1, 1, 1, -1, 1}, {0, 1, 2, 0, 2, 3}, {3}};
  glf_symbol_source two_contours{'B', {-1, -1, 0, -1, 0, 0, 0.2f, 0.2f, 1, 0.2f, 1, 1},
                                 {0, 1, 2, 3, 4, 5}, {2, 5}};
  glf_symbol_source empty{' ', {}, {}, {}};
  return {square, two_contours, empty};
}

}  // namespace

int write_seed_corpus(const char *bmf_dir, const char *glf_dir)
{
  int written = 0;
  bitmap_glyph_rect glyphs[256] = {};
  glyphs['A'] = {0.5f, 0.25f, 0.125f, 0.0625f};
  glyphs['B'] = {0, 0, 0.25f, 0.5f};
  for (int channels = 1; channels <= 4; channels++) {
    for (bool run_length : {true, false}) {
      sgi_picture picture = seed_picture(5 + channels, 3, channels, run_length);
      std::string name = std::to_string(channels) + (run_length ? "-rle" : "-plain");
      if (!write_file(std::string(bmf_dir) + "/picture-" + name + ".sgi", sgi_encode(picture)))
        return -1;
      if (bmf_write((std::string(bmf_dir) + "/font-" + name + ".bmf").c_str(), "seed", glyphs,
                    picture) != 0)
        return -1;
      written += 2;
    }
  }
  std::vector<glf_symbol_source> symbols = seed_symbols();
  std::string glf = std::string(glf_dir) + "/";
  if (glf_write((glf + "three-symbols.glf").c_str(), "seed", symbols) != 0 ||
      glf_write((glf + "one-symbol.glf").c_str(), "seed", {symbols[0]}) != 0 ||
      glf_write((glf + "no-symbols.glf").c_str(), "seed", {}) != 0)
    return -1;
  return written + 3;
}
