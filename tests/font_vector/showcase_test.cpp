// The font showcase, run on a display of its own: every panel is drawn,
// masked bitmap text keeps its background, the console has wrapped and
// scrolled, and only its cursor blinks. A copy of the picture stays in the
// test's working folder as font_showcase.ppm for a person to look at.
#include "font_files.h"
#include "tools/font-showcase/showcase_layout.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <set>

namespace {

constexpr unsigned char CLEAR_COLOUR[3] = {31, 31, 36};  // the showcase's 0.12, 0.12, 0.14
constexpr int SHOWN_FRAMES = 3, HIDDEN_FRAMES = 15;      // cursor: 10 frames on, then 11 off
constexpr int CONSOLE_ROWS = 16, ROW_PIXELS = 22;
const char KEPT_PICTURE[] = "font_showcase.ppm";

struct picture {
  std::vector<unsigned char> rgb;  // top row first
  // The pixel at x, y counted from the bottom, as the layout counts.
  const unsigned char *at(int x, int y) const { return &rgb[3 * ((size_t)(SHOWCASE_HEIGHT - 1 - y) * SHOWCASE_WIDTH + x)]; }
};

// Runs the showcase for some frames and reads its PPM picture.
picture run_showcase(const std::string &shot, int frames)
{
  std::string command = std::string("cd '") + PILKO_DATA_DIR + "' && '" + VIRTUAL_DISPLAY + "' run -- '" +
                        FONT_SHOWCASE + "' --shot '" + shot + "' --frames " + std::to_string(frames);
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::vector<unsigned char> file = read_file(shot);
  std::string header = "P6\n" + std::to_string(SHOWCASE_WIDTH) + " " + std::to_string(SHOWCASE_HEIGHT) + "\n255\n";
  picture p;
  if (file.size() == header.size() + (size_t)SHOWCASE_WIDTH * SHOWCASE_HEIGHT * 3 &&
      std::equal(header.begin(), header.end(), file.begin()))
    p.rgb.assign(file.begin() + header.size(), file.end());
  EXPECT_FALSE(p.rgb.empty()) << "no picture of the right size in " << shot;
  return p;
}

bool same(const unsigned char *a, const unsigned char *b) { return a[0] == b[0] && a[1] == b[1] && a[2] == b[2]; }
bool ink(const unsigned char *c) { return !same(c, CLEAR_COLOUR); }
bool background(const unsigned char *c) { return same(c, SHOWCASE_BITMAP_BACKGROUND); }
bool black(const unsigned char *c) { return c[0] == 0 && c[1] == 0 && c[2] == 0; }
bool console_text(const unsigned char *c) { return c[1] > 150 && c[0] < 200; }

int count_in(const picture &p, const showcase_panel &r, bool (*test)(const unsigned char *))
{
  int n = 0;
  for (int y = r.y; y < r.y + r.height; y++)
    for (int x = r.x; x < r.x + r.width; x++)
      n += test(p.at(x, y));
  return n;
}

bool inside(const showcase_panel &r, int x, int y) { return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height; }

class FontShowcase : public ::testing::Test {
 protected:
  // Each test process takes its own picture (tests may run side by side).
  static void SetUpTestSuite()
  {
    temp_folder folder;
    shown = run_showcase(folder.file("shown.ppm"), SHOWN_FRAMES);
    std::error_code ignored;
    std::filesystem::copy_file(folder.file("shown.ppm"), KEPT_PICTURE,
                               std::filesystem::copy_options::overwrite_existing, ignored);
  }
  void SetUp() override { ASSERT_FALSE(shown.rgb.empty()); }
  static picture shown;
};

picture FontShowcase::shown;

}  // namespace

TEST_F(FontShowcase, EveryPanelShowsItsText)
{
  for (const showcase_panel &panel : {SHOWCASE_WIRED, SHOWCASE_SOLID, SHOWCASE_3D_WIRED, SHOWCASE_3D_SOLID})
    EXPECT_GT(count_in(shown, panel, ink), 400) << "panel at y " << panel.y;
  std::set<int> colours;
  const showcase_panel &solid = SHOWCASE_SOLID;
  for (int y = solid.y; y < solid.y + solid.height; y++)
    for (int x = solid.x; x < solid.x + solid.width; x++)
      colours.insert(shown.at(x, y)[0] << 16 | shown.at(x, y)[1] << 8 | shown.at(x, y)[2]);
  EXPECT_GT(colours.size(), 20u) << "the checker texture, not a flat fill";
  // Masked bitmap text keeps the background, plain text does not.
  const showcase_panel &b = SHOWCASE_BITMAP;
  showcase_panel plain = {b.x, b.y + b.height / 2, b.width, b.height / 2}, masked = {b.x, b.y, b.width, b.height / 2};
  EXPECT_GT(count_in(shown, plain, black), 200) << "plain glyph quads bring the picture's black";
  EXPECT_EQ(count_in(shown, masked, black), 0);
  int kept = count_in(shown, masked, background), area = masked.width * masked.height;
  EXPECT_GT(kept, area * 8 / 10);
  EXPECT_LT(kept, area - 200) << "the masked text itself is missing";
  // The console is full of wrapped and scrolled rows: one band of text per row.
  const showcase_panel &c = SHOWCASE_CONSOLE;
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
    EXPECT_NEAR(band_tops[i - 1] - band_tops[i], ROW_PIXELS, 6) << "row " << i;
}

TEST_F(FontShowcase, OnlyTheCursorBlinks)
{
  temp_folder folder;
  picture hidden = run_showcase(folder.file("hidden.ppm"), HIDDEN_FRAMES);
  ASSERT_EQ(hidden.rgb.size(), shown.rgb.size());
  int changed = 0, lowest = SHOWCASE_HEIGHT, highest = -1;
  for (int y = 0; y < SHOWCASE_HEIGHT; y++) {
    for (int x = 0; x < SHOWCASE_WIDTH; x++) {
      if (same(shown.at(x, y), hidden.at(x, y)))
        continue;
      changed++;
      EXPECT_TRUE(inside(SHOWCASE_CONSOLE, x, y)) << "pixel " << x << ", " << y << " outside the console";
      lowest = std::min(lowest, y);
      highest = std::max(highest, y);
    }
  }
  EXPECT_GT(changed, 10) << "the underscore";
  EXPECT_LT(highest - lowest, ROW_PIXELS) << "within one row";
}
