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

TEST_F(StatusLine, LeavesBlendingOffLightingOnAndTheProjectionAsItWas)
{
  for (GLboolean texturing : {GL_TRUE, GL_FALSE}) {
    if (texturing)
      glEnable(GL_TEXTURE_2D);
    else
      glDisable(GL_TEXTURE_2D);
    GLfloat before[16], after[16];
    glGetFloatv(GL_PROJECTION_MATRIX, before);
    glMatrixMode(GL_MODELVIEW);
    draw_status_line();
    glGetFloatv(GL_PROJECTION_MATRIX, after);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), texturing);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    for (int k = 0; k < 16; k++)
      EXPECT_EQ(after[k], before[k]) << "projection element " << k;
  }
  glEnable(GL_TEXTURE_2D);
}

}  // namespace
