// Textures after entering the full-screen OpenGL mode at each colour depth
// that the game's mode search asks for (16, 24, 32, 15): whatever depth
// Allegro ends on, the upload reads the working bitmap's bytes as they are.
#include "tests/render/render_scene.h"
#include "render/render.h"

#include <cstdio>

namespace {

// The mode the game's search asks for at this depth: the first attempt
// (16) suggests the render method too, the later ones do not.
int enter_full_screen_mode(int depth)
{
  allegro_gl_clear_settings();
  allegro_gl_set(AGL_COLOR_DEPTH, depth);
  allegro_gl_set(AGL_Z_DEPTH, 16);
  allegro_gl_set(AGL_DOUBLEBUFFER, 1);
  allegro_gl_set(AGL_RENDERMETHOD, 1);
  int suggested = AGL_Z_DEPTH | AGL_DOUBLEBUFFER;
  if (depth == 16)
    suggested |= AGL_RENDERMETHOD;
  allegro_gl_set(AGL_SUGGEST, suggested);
  set_color_depth(depth);
  return set_gfx_mode(GFX_OPENGL_FULLSCREEN, FRAME_WIDTH, FRAME_HEIGHT, 0, 0);
}

class TextureDepth : public ::testing::TestWithParam<int> {};

TEST_P(TextureDepth, UploadMatchesTheWorkingBitmapInEveryMode)
{
  open_gl_test_context();
  int depth = GetParam();
  ASSERT_EQ(enter_full_screen_mode(depth), 0) << allegro_error;
  BITMAP *plain = create_bitmap(1, 1);
  std::printf("asked for %d bits: Allegro's depth %d, create_bitmap gives %d bits, "
              "24-bit pixels hold R at bit %d, upload format %s\n",
              depth, get_color_depth(), bitmap_color_depth(plain), _rgb_r_shift_24,
              texture_pixel_format() == GL_RGB ? "GL_RGB" : "GL_BGR");
  destroy_bitmap(plain);

  std::string path = make_temp_folder("pilko-texture-depth") + "/image.bmp";
  write_test_image(path, TEST_IMAGE_WIDTH, TEST_IMAGE_HEIGHT, test_image_pixel);
  GLuint name = load_texture(path.c_str(), texture_pixel_format());
  ASSERT_NE(name, 0u);
  expect_bound_texture_is_flipped_test_image();
  glDeleteTextures(1, &name);
  // Loading left the colour depth that the rest of the game works in.
  EXPECT_EQ(get_color_depth(), bitmap_color_depth(screen));
}

INSTANTIATE_TEST_SUITE_P(ModeSearch, TextureDepth, ::testing::Values(16, 24, 32, 15));

}  // namespace
