// The font showcase on the test display; its picture stays in the working folder as font_showcase.ppm.
#include "tests/font/font_files.h"
#include "tests/support/display.h"
#include "tools/font-showcase/showcase_layout.h"

#include <set>

TEST(FontShowcase, EveryPanelShowsWhatTheLibraryDraws)
{
  std::string shot = (std::filesystem::current_path() / "font_showcase.ppm").string();
  std::string display = test_display();
  ASSERT_FALSE(display.empty()) << "could not start a virtual X display";
  std::string command = std::string("cd '") + PILKO_DATA_DIR + "' && DISPLAY=" + display + " '" +
                        FONT_SHOWCASE + "' --shot '" + shot + "' --frames 3";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  std::vector<unsigned char> file = file_bytes(shot);
  std::string header = "P6\n640 480\n255\n";
  ASSERT_EQ(file.size(), header.size() + SHOWCASE_WIDTH * SHOWCASE_HEIGHT * 3);
  auto count = [&](const showcase_panel &r, auto test) {  // pixels of r passing test, y from the bottom
    int n = 0;
    for (int y = r.y; y < r.y + r.height; y++)
      for (int x = r.x; x < r.x + r.width; x++) {
        const unsigned char *p = &file[header.size() + 3 * ((SHOWCASE_HEIGHT - 1 - y) * SHOWCASE_WIDTH + x)];
        n += test(p[0] << 16 | p[1] << 8 | p[2]);
      }
    return n;
  };
  const int clear = 31 << 16 | 31 << 8 | 36;  // the showcase's 0.12, 0.12, 0.14
  for (const showcase_panel &panel : {SHOWCASE_WIRED, SHOWCASE_SOLID, SHOWCASE_3D_WIRED, SHOWCASE_3D_SOLID})
    EXPECT_GT(count(panel, [&](int c) { return c != clear; }), 400) << "panel at y " << panel.y;
  std::set<int> colours;
  count(SHOWCASE_SOLID, [&](int c) { return colours.insert(c).second; });
  EXPECT_GT(colours.size(), 20u) << "the checker texture, not a flat fill";
  // Bitmap text: plain glyph quads bring the picture's black above, masked text keeps the background below.
  const showcase_panel b = SHOWCASE_BITMAP, masked = {b.x, b.y, b.width, b.height / 2};
  const unsigned char *bg = SHOWCASE_BITMAP_BACKGROUND;
  int kept = count(masked, [&](int c) { return c == (bg[0] << 16 | bg[1] << 8 | bg[2]); });
  EXPECT_GT(count({b.x, b.y + masked.height, b.width, masked.height}, [](int c) { return c == 0; }), 200);
  EXPECT_EQ(count(masked, [](int c) { return c == 0; }), 0);
  EXPECT_GT(kept, b.width * masked.height * 8 / 10) << "background pixels kept under masked text";
  EXPECT_LT(kept, b.width * masked.height - 200) << "no masked text drawn";
  // The console is full of wrapped and scrolled rows: 16 bands of text 22 pixels apart.
  const showcase_panel &c = SHOWCASE_CONSOLE;
  std::vector<int> band_tops;
  for (int y = c.y + c.height - 1, in_band = 0; y >= c.y; y--) {
    int text = count({c.x, y, c.width, 1}, [](int p) { return (p >> 8 & 255) > 150 && (p >> 16) < 200; }) > 0;
    if (text && !in_band)
      band_tops.push_back(y);
    in_band = text;
  }
  ASSERT_EQ(band_tops.size(), 16u);
  EXPECT_NEAR(band_tops.front() - band_tops.back(), 15 * 22, 15);
}
