// The font showcase on the test display: every panel shows what the library draws there (the
// library's own tests look at each mode closely). Its picture stays in the working folder as
// font_showcase.ppm.
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
  // The colours of a panel's pixels (y from the bottom) and how many are not the showcase's clear colour.
  auto colours = [&](const showcase_panel &r, int &drawn) {
    std::set<int> seen;
    drawn = 0;
    for (int y = r.y; y < r.y + r.height; y++)
      for (int x = r.x; x < r.x + r.width; x++) {
        const unsigned char *p = &file[header.size() + 3 * ((SHOWCASE_HEIGHT - 1 - y) * SHOWCASE_WIDTH + x)];
        seen.insert(p[0] << 16 | p[1] << 8 | p[2]);
        drawn += (p[0] << 16 | p[1] << 8 | p[2]) != (31 << 16 | 31 << 8 | 36);  // the clear colour, 0.12, 0.12, 0.14
      }
    return seen;
  };
  int drawn = 0;
  for (const showcase_panel &panel :
       {SHOWCASE_WIRED, SHOWCASE_3D_WIRED, SHOWCASE_3D_SOLID, SHOWCASE_BITMAP, SHOWCASE_CONSOLE}) {
    colours(panel, drawn);
    EXPECT_GT(drawn, 400) << "panel at " << panel.x << ", " << panel.y;
  }
  EXPECT_GT(colours(SHOWCASE_SOLID, drawn).size(), 20u) << "the checker texture, not a flat fill";
}
