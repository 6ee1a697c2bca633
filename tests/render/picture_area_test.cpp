// Where the 4:3 picture goes in a window of any size, and how large a window
// fits the desktop.
#include <gtest/gtest.h>
#include "render/render.h"

#include <tuple>

TEST(PictureArea, LargestCentredFourToThreeRectangle)
{
  struct fit {
    int window_width, window_height;
    screen_area area;
  };
  const fit fits[] = {
      {640, 480, {0, 0, 640, 480}},         // the designed screen: all of it
      {1920, 1080, {240, 0, 1440, 1080}},   // 16:9: bars left and right
      {2560, 1440, {320, 0, 1920, 1440}},
      {1280, 1024, {0, 32, 1280, 960}},     // 5:4: bars above and below
      {1366, 768, {171, 0, 1024, 768}},     // an odd bar width: the extra pixel on the right
      {1000, 500, {167, 0, 666, 500}},      // 666.67 across: never wider than the window
      {600, 900, {0, 225, 600, 450}},
      {160, 120, {0, 0, 160, 120}},
  };
  for (const fit &f : fits) {
    screen_area area = fit_picture_area(f.window_width, f.window_height);
    EXPECT_EQ(std::tie(area.x, area.y, area.width, area.height), std::tie(f.area.x, f.area.y, f.area.width, f.area.height))
        << f.window_width << " x " << f.window_height;
  }
}

TEST(PictureArea, LargestWholeMultipleThatFits)
{
  struct multiple {
    int width, height, times;
  };
  const multiple multiples[] = {
      {1920, 1080, 2}, {2560, 1440, 3}, {3840, 2160, 4}, {1280, 960, 2},
      {1279, 960, 1},  {640, 480, 1},   {320, 240, 1},   // at least once, even on a smaller desktop
  };
  for (const multiple &m : multiples)
    EXPECT_EQ(largest_picture_multiple(m.width, m.height), m.times) << m.width << " x " << m.height;
}
