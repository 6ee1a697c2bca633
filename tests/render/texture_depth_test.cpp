// Textures after entering the full-screen mode at each depth the game's mode search asks for:
// the upload reads the working bitmap's bytes as they are, whatever unpack alignment was left.
#include "tests/render/render_scene.h"
#include "game/graphics_mode.h"

namespace {

rgb test_pixel(int x, int y)  // bright pink at (5, 3) and (60, 30), nearly pink at (6, 3)
{
  bool pink = (x == 5 && y == 3) || (x == 60 && y == 30);
  return pink ? rgb{255, 0, 255} : x == 6 && y == 3 ? rgb{254, 0, 255} : rgb{4 * x, 8 * y, 77};
}

class Texture : public ::testing::TestWithParam<int> {};

TEST_P(Texture, FlippedWithPinkAsBlack)
{
  open_gl_test_context();
  int depth = GetParam();  // the settings of the game's search when it comes to this depth
  request_first_mode();
  if (depth != 16)
    request_mode_depth(depth);
  ASSERT_EQ(set_gfx_mode(GFX_OPENGL_FULLSCREEN, FRAME_WIDTH, FRAME_HEIGHT, 0, 0), 0) << allegro_error;
  for (auto [image_width, image_height] : {std::pair{64, 32}, {5, 3}}) {  // the 5 x 3 image's rows are 15 bytes, no multiple of 4
    scratch_folder folder;
    std::string path = folder.file("image.bmp");
    write_test_image(path, image_width, image_height, test_pixel);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    GLuint name = load_texture(path.c_str(), texture_pixel_format());
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    ASSERT_NE(name, 0u);
    ASSERT_EQ(width, image_width);
    ASSERT_EQ(height, image_height);
    std::vector<unsigned char> texels((size_t)width * height * 3), expected;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    for (int row = 0; row < height; row++)  // texture row 0 is the image's bottom row
      for (int x = 0; x < width; x++) {
        rgb c = test_pixel(x, height - 1 - row);
        if (c == rgb{255, 0, 255})
          c = {0, 0, 0};  // pink: transparent, black
        expected.insert(expected.end(), {(unsigned char)c.r, (unsigned char)c.g, (unsigned char)c.b});
      }
    EXPECT_TRUE(texels == expected) << image_width << " x " << image_height;
  }
  EXPECT_EQ(get_color_depth(), bitmap_color_depth(screen)) << "loading left the game's depth";
}

INSTANTIATE_TEST_SUITE_P(Depth, Texture, ::testing::Values(16, 24, 32, 15));

}  // namespace
