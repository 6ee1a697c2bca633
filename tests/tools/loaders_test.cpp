// Every generated file opens through the game's own calls and reads the same in a peer program
// (ImageMagick, sox).
#include "tests/support/headless.h"
#include "font/bmf_image.h"
#include "font/font.h"
#include "tests/tools/asset_files.h"
#include "world/game_rules.h"

#include <allegro.h>
#include <cstdlib>

namespace {

bool power_of_two(int n) { return n > 0 && (n & (n - 1)) == 0; }

}  // namespace

TEST(AllegroFiles, PicturesReadAsInImageMagick)
{
  start_headless_allegro();
  set_color_conversion(COLORCONV_NONE);  // pictures keep their own depth
  struct file { std::string name; int w, h; };  // w = 0: a 24-bit power-of-two texture
  // The game-over banner is 318 x 54 so that drawn at (161, 213) it is centred.
  std::vector<file> files = {{PICTURE_FILES[PICTURE_LOGO], 640, 480},
                             {PICTURE_FILES[PICTURE_TITLE], 640, 480},
                             {PICTURE_FILES[PICTURE_GAME_OVER], 318, 54},
                             {PICTURE_FILES[PICTURE_CAMPAIGN_COMPLETE], CAMPAIGN_COMPLETE_WIDTH,
                              CAMPAIGN_COMPLETE_HEIGHT}};
  for (const char *name : TEXTURE_FILES)
    files.push_back({name, 0, 0});
  for (const file &f : files) {
    std::string path = data_file(f.name), ours;
    BITMAP *b = load_bitmap(path.c_str(), nullptr);
    ASSERT_NE(b, nullptr) << path;
    int depth = bitmap_color_depth(b), masked = 0;
    for (int y = 0; y < b->h; ++y)
      for (int x = 0; x < b->w; ++x) {
        int c = getpixel(b, x, y);
        ours += {char(getr_depth(depth, c)), char(getg_depth(depth, c)), char(getb_depth(depth, c))};
        masked += c == bitmap_mask_color(b);  // drawn as a sprite, (255, 0, 255) turns black
      }
    EXPECT_TRUE(run_command("convert '" + path + "' -depth 8 rgb:-").output == ours)
        << path << ": Allegro and ImageMagick disagree (flipped rows? another size?)";
    if (f.w) {
      EXPECT_EQ(b->w, f.w) << f.name;
      EXPECT_EQ(b->h, f.h) << f.name;
      EXPECT_GE(depth, 24) << f.name;
    } else {
      EXPECT_TRUE(power_of_two(b->w)) << f.name << " is " << b->w << " wide";
      EXPECT_TRUE(power_of_two(b->h)) << f.name << " is " << b->h << " high";
      EXPECT_EQ(depth, 24) << f.name;
      EXPECT_EQ(masked, 0) << f.name << " has mask-pink pixels";
    }
    destroy_bitmap(b);
  }
}

TEST(AllegroFiles, SamplesAreClickFreePcm)
{
  start_headless_allegro();
  for (const char *name : SOUND_FILES) {
    std::string path = data_file(name);
    SAMPLE *s = load_sample(path.c_str());
    ASSERT_NE(s, nullptr) << path;
    EXPECT_GT(s->len, 0.05 * s->freq) << name << " is too short to hear";
    EXPECT_LT(s->len, 2.0 * s->freq) << name << " is not short";
    // Allegro keeps 16-bit samples unsigned; far from 0x8000 at an end is a click.
    const unsigned short *data = static_cast<const unsigned short *>(s->data);
    EXPECT_LT(std::abs(data[0] - 0x8000), 150) << name << " clicks as it starts";
    EXPECT_LT(std::abs(data[s->len - 1] - 0x8000), 150) << name << " clicks as it ends";
    EXPECT_EQ(run_command("soxi -r '" + path + "'; soxi -s '" + path + "'").output,
              std::to_string(s->freq) + "\n" + std::to_string(s->len) + "\n");
    destroy_sample(s);
  }
}

// The status-line font's picture is run-length encoded, white glyphs on black (our decoder reads
// SGI pictures as ImageMagick does: tests/font/sgi_peer_test.cpp), and its line is crisp and fits
// across the screen.
TEST(StatusFont, WhiteOnBlackAndFits)
{
  constexpr long PICTURE_AT = 4195;  // after the name and 256 rectangles
  std::string path = data_file(HUD_FONT_FILE);
  FILE *f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr) << path;
  bitmap_glyph_rect glyphs[BMF_GLYPH_COUNT];
  int width = 0, height = 0, lit = 0, coloured = 0;
  unsigned char *rgba = bmf_read_font(f, glyphs, &width, &height);
  std::fclose(f);
  ASSERT_NE(rgba, nullptr);
  EXPECT_EQ(file_bytes(path)[PICTURE_AT + 2], 1) << "the picture is not run-length encoded";
  for (const unsigned char *q = rgba; q < rgba + (size_t)width * height * 4; q += 4)
    coloured += q[0] != q[1] || q[1] != q[2], lit += q[0] > 0;
  std::free(rgba);
  EXPECT_EQ(coloured, 0) << "the glyphs are not white";
  EXPECT_GT(lit, 0) << "no glyph shows";
  EXPECT_LT(lit, width * height / 2) << "the background is not black";
  // A rectangle (w, h) shows as w * 3.5 * 640 / 6 by h * 3.5 * 480 / 8 screen pixels; the
  // status line's two texts stand 0.52 units apart.
  float line = glyphs['A'].height * 3.5f * 480 / 8, units = 0.52f;
  for (const char *p = "Lives: 3 | Drops: 123pilko.games "; *p; ++p)
    units += glyphs[static_cast<unsigned char>(*p)].width + bitmap_glyph_gap;
  EXPECT_GE(line, 16) << "pixels tall";
  EXPECT_LE(line, 20) << "pixels tall";
  EXPECT_LT(units * 3.5f * 640 / 6, 640);
}
