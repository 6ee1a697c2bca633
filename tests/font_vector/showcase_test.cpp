// The font showcase, run on a display of its own: its picture shows every
// panel, bitmap text masked over colour, and a console that has wrapped,
// scrolled and blinks its cursor. The picture stays in the test's working
// folder as font_showcase.ppm for a person to look at.
#include "font_files.h"
#include "tools/font-showcase/showcase_layout.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

namespace {

constexpr unsigned char CLEAR_COLOUR[3] = {31, 31, 36};  // the showcase's 0.12, 0.12, 0.14
constexpr int MIN_INK = 400;               // pixels a string of several symbols covers at least
constexpr int CURSOR_SHOWN_FRAMES = 3;     // the cursor shows for the first 10 frames
constexpr int CURSOR_HIDDEN_FRAMES = 15;   // and hides for the 11 after them
constexpr int CONSOLE_ROWS = 16;
constexpr int CONSOLE_ROW_PIXELS = 22;
const char KEPT_PICTURE[] = "font_showcase.ppm";  // in the test's working folder

struct picture {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;  // top row first
  // Pixel at x, y counted from the bottom, as the layout counts.
  const unsigned char *at(int x, int y) const { return &rgb[3 * ((size_t)(height - 1 - y) * width + x)]; }
};

picture read_ppm(const std::string &path)
{
  picture p;
  FILE *f = std::fopen(path.c_str(), "rb");
  if (!f)
    return p;
  if (std::fscanf(f, "P6 %d %d 255", &p.width, &p.height) == 2 && std::fgetc(f) == '\n') {
    p.rgb.resize((size_t)p.width * p.height * 3);
    if (std::fread(p.rgb.data(), 1, p.rgb.size(), f) != p.rgb.size())
      p.rgb.clear();
  }
  std::fclose(f);
  return p;
}

// Runs the showcase for some frames and reads its picture.
picture run_showcase(const std::string &shot, int frames)
{
  std::string command = std::string("cd '") + PILKO_DATA_DIR + "' && '" + VIRTUAL_DISPLAY +
                        "' run -- '" + FONT_SHOWCASE + "' --shot '" + shot + "' --frames " +
                        std::to_string(frames);
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  picture p = read_ppm(shot);
  EXPECT_EQ(p.width, SHOWCASE_WIDTH);
  EXPECT_EQ(p.height, SHOWCASE_HEIGHT);
  EXPECT_EQ(p.rgb.size(), (size_t)SHOWCASE_WIDTH * SHOWCASE_HEIGHT * 3);
  return p;
}

bool same(const unsigned char *a, const unsigned char *b)
{
  return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

int count_in(const picture &p, const showcase_panel &panel, bool (*test)(const unsigned char *))
{
  int n = 0;
  for (int y = panel.y; y < panel.y + panel.height; y++)
    for (int x = panel.x; x < panel.x + panel.width; x++)
      n += test(p.at(x, y));
  return n;
}

bool ink(const unsigned char *c) { return !same(c, CLEAR_COLOUR); }
bool background(const unsigned char *c) { return same(c, SHOWCASE_BITMAP_BACKGROUND); }
bool black(const unsigned char *c) { return c[0] == 0 && c[1] == 0 && c[2] == 0; }
bool console_text(const unsigned char *c) { return c[1] > 150 && c[0] < 200; }

// The lower and upper strip of the bitmap panel: plain text, masked text.
showcase_panel bitmap_strip(bool upper)
{
  const showcase_panel &b = SHOWCASE_BITMAP;
  return {b.x, upper ? b.y + b.height / 2 : b.y, b.width, b.height / 2};
}

class FontShowcase : public ::testing::Test {
 protected:
  // Each test process takes its own picture (tests may run side by side)
  // and leaves a copy for a person to look at.
  static void SetUpTestSuite()
  {
    temp_folder folder;
    std::string shot = folder.file("shown.ppm");
    shown = run_showcase(shot, CURSOR_SHOWN_FRAMES);
    std::error_code ignored;
    std::filesystem::copy_file(shot, KEPT_PICTURE, std::filesystem::copy_options::overwrite_existing, ignored);
  }
  static picture shown;
};

picture FontShowcase::shown;

}  // namespace

TEST_F(FontShowcase, EveryVectorModeDrawsItsString)
{
  ASSERT_FALSE(shown.rgb.empty());
  const showcase_panel *panels[] = {&SHOWCASE_WIRED, &SHOWCASE_SOLID, &SHOWCASE_3D_WIRED,
                                    &SHOWCASE_3D_SOLID};
  for (const showcase_panel *panel : panels)
    EXPECT_GT(count_in(shown, *panel, ink), MIN_INK) << "panel at y " << panel->y;
}

TEST_F(FontShowcase, TexturedSolidStringShowsTheTexture)
{
  ASSERT_FALSE(shown.rgb.empty());
  std::set<int> colours;
  const showcase_panel &p = SHOWCASE_SOLID;
  for (int y = p.y; y < p.y + p.height; y++)
    for (int x = p.x; x < p.x + p.width; x++)
      if (ink(shown.at(x, y)))
        colours.insert(shown.at(x, y)[0] << 16 | shown.at(x, y)[1] << 8 | shown.at(x, y)[2]);
  // The checker's two squares over a gradient: far more than a flat fill and its outline.
  EXPECT_GT(colours.size(), 20u);
}

TEST_F(FontShowcase, MaskedBitmapTextKeepsTheBackgroundPlainTextDoesNot)
{
  ASSERT_FALSE(shown.rgb.empty());
  showcase_panel plain = bitmap_strip(true), masked = bitmap_strip(false);
  int area = masked.width * masked.height;
  // Plain glyph quads cover the colour with the picture's black around each glyph.
  EXPECT_GT(count_in(shown, plain, black), 200);
  // Masked text: the background stays wherever no glyph ink is.
  EXPECT_EQ(count_in(shown, masked, black), 0);
  int kept = count_in(shown, masked, background);
  EXPECT_GT(kept, area * 8 / 10);
  EXPECT_LT(kept, area - 200) << "the masked text itself is missing";
}

TEST_F(FontShowcase, ConsoleIsFullOfWrappedAndScrolledRows)
{
  ASSERT_FALSE(shown.rgb.empty());
  const showcase_panel &c = SHOWCASE_CONSOLE;
  // Rows of text, top to bottom: one band of text pixels per console row.
  std::vector<int> band_tops;
  bool in_band = false;
  for (int y = c.y + c.height - 1; y >= c.y; y--) {
    bool text = false;
    for (int x = c.x; x < c.x + c.width && !text; x++)
      text = console_text(shown.at(x, y));
    if (text && !in_band)
      band_tops.push_back(y);
    in_band = text;
  }
  ASSERT_EQ(band_tops.size(), (size_t)CONSOLE_ROWS);
  for (size_t i = 1; i < band_tops.size(); i++)
    EXPECT_NEAR(band_tops[i - 1] - band_tops[i], CONSOLE_ROW_PIXELS, 6) << "row " << i;
}

TEST_F(FontShowcase, CursorBlinksOnlyInTheConsole)
{
  ASSERT_FALSE(shown.rgb.empty());
  temp_folder folder;
  picture hidden = run_showcase(folder.file("hidden.ppm"), CURSOR_HIDDEN_FRAMES);
  ASSERT_EQ(hidden.rgb.size(), shown.rgb.size());
  int changed = 0, lowest = SHOWCASE_HEIGHT, highest = -1;
  for (int y = 0; y < SHOWCASE_HEIGHT; y++) {
    for (int x = 0; x < SHOWCASE_WIDTH; x++) {
      if (same(shown.at(x, y), hidden.at(x, y)))
        continue;
      changed++;
      const showcase_panel &c = SHOWCASE_CONSOLE;
      EXPECT_TRUE(x >= c.x && x < c.x + c.width && y >= c.y && y < c.y + c.height)
          << "pixel " << x << ", " << y << " changed outside the console";
      lowest = std::min(lowest, y);
      highest = std::max(highest, y);
    }
  }
  EXPECT_GT(changed, 10) << "the underscore";
  EXPECT_LT(highest - lowest, CONSOLE_ROW_PIXELS) << "the change lies within one row";
}
