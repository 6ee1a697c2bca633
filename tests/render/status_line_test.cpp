// The status line over a real frame: what it reads, where, and the GL state
// it leaves for the next frame.
#include "tests/render/render_scene.h"
#include "render/render.h"

namespace {

class StatusLine : public ::testing::Test {
protected:
  void SetUp() override
  {
    open_render_scene();
    build_test_level();
    // The world far out of view, so that the text is read over black.
    hero_x = hero_y = -1000.0f;
  }
};

TEST_F(StatusLine, ReadsLivesAndDropsAtTheBottomLeft)
{
  drops_left = 12;
  render_frame();
  std::vector<unsigned char> frame = read_frame();
  save_frame_png(frame, "status-line-3-lives-12-drops");
  std::string text = read_status_text(frame, 0.0f);
  EXPECT_EQ(text.substr(0, 20), "Lives: 3 | Drops: 12");
}

TEST_F(StatusLine, ShowsNoLivesLeft)
{
  lives = 0;
  drops_left = 7;
  render_frame();
  EXPECT_EQ(read_status_text(read_frame(), 0.0f).substr(0, 19), "Lives: 0 | Drops: 7");
}

TEST_F(StatusLine, WebAddressFollowsAfterTheGap)
{
  drops_left = 5;
  render_frame();
  const std::string first = "Lives: 3 | Drops: 5";
  std::string second = read_status_text(read_frame(), status_text_width(first) + 0.52f);
  std::string address = hud_text;
  ASSERT_GT(address.size(), 1u);
  EXPECT_EQ(address.back(), ' ') << "the second text ends in one space";
  // As much of it as fits on the screen reads as the address.
  ASSERT_FALSE(second.empty());
  EXPECT_EQ(second, address.substr(0, second.size()));
}

}  // namespace
