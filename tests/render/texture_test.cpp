// Textures from image files: orientation, the bright pink mask, tightly
// packed rows, filtering and wrapping, and images that are missing.
#include "tests/render/render_scene.h"
#include "render/render.h"

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class Textures : public ::testing::Test {
protected:
  void SetUp() override { open_render_scene(); }
};

TEST_F(Textures, ImageBecomesAFlippedTextureWithPinkBlack)
{
  std::string path = make_temp_folder("pilko-texture") + "/image.bmp";
  write_test_image(path, TEST_IMAGE_WIDTH, TEST_IMAGE_HEIGHT, test_image_pixel);
  GLuint name = load_texture(path.c_str(), texture_pixel_format());
  ASSERT_NE(name, 0u);
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ((GLuint)bound, name) << "the new texture stays bound";
  expect_bound_texture_is_flipped_test_image();
  glDeleteTextures(1, &name);
}

TEST_F(Textures, RowsNotAMultipleOfFourBytesUploadWhateverTheAlignment)
{
  // 5 pixels of 3 bytes: 15-byte rows. Someone else left the alignment at 4.
  std::string path = make_temp_folder("pilko-texture") + "/narrow.bmp";
  auto colour = [](int x, int y) { return rgb{40 * x + 10, 60 * y + 20, 200 - 30 * x}; };
  write_test_image(path, 5, 3, colour);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  GLuint name = load_texture(path.c_str(), texture_pixel_format());
  ASSERT_NE(name, 0u);
  unsigned char texels[5 * 3 * 3];
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
  for (int row = 0; row < 3; row++)
    for (int x = 0; x < 5; x++) {
      rgb expected = colour(x, 2 - row);
      const unsigned char *t = &texels[(row * 5 + x) * 3];
      EXPECT_EQ(t[0], expected.r) << x << ", " << row;
      EXPECT_EQ(t[1], expected.g) << x << ", " << row;
      EXPECT_EQ(t[2], expected.b) << x << ", " << row;
    }
  glDeleteTextures(1, &name);
}

TEST_F(Textures, MissingOrUnreadableImageGivesNameZero)
{
  std::string folder = make_temp_folder("pilko-texture");
  EXPECT_EQ(load_texture((folder + "/absent.bmp").c_str(), texture_pixel_format()), 0u);
  FILE *junk = std::fopen((folder + "/junk.bmp").c_str(), "wb");
  ASSERT_NE(junk, nullptr);
  std::fputs("BM this is no picture", junk);
  std::fclose(junk);
  EXPECT_EQ(load_texture((folder + "/junk.bmp").c_str(), texture_pixel_format()), 0u);
}

TEST_F(Textures, SetWarnsOnceForEachMissingImageAndLoadsTheRest)
{
  GLuint kept[TEXTURE_COUNT];
  std::copy(textures, textures + TEXTURE_COUNT, kept);
  char scene_folder[4096];
  ASSERT_NE(getcwd(scene_folder, sizeof scene_folder), nullptr);
  std::string folder = make_temp_folder("pilko-texture-set");
  ASSERT_EQ(mkdir((folder + "/graphics").c_str(), 0755), 0);
  for (const char *name : {"gras", "stonefloor", "kez", "metal", "enemy"})
    write_test_image(folder + "/graphics/" + name + ".bmp", 8, 8, test_image_pixel);
  ASSERT_EQ(chdir(folder.c_str()), 0);
  ::testing::internal::CaptureStderr();
  load_texture_set();
  std::string warnings = ::testing::internal::GetCapturedStderr();
  ASSERT_EQ(chdir(scene_folder), 0);

  EXPECT_EQ(textures[KIND_LAVA], 0u);
  for (int kind : {KIND_GRASS, KIND_STONE_FLOOR, KIND_HERO_SKIN, KIND_METAL, KIND_ENEMY_SKIN})
    EXPECT_NE(textures[kind], 0u) << "kind " << kind;
  EXPECT_EQ(std::count(warnings.begin(), warnings.end(), '\n'), 1) << warnings;
  EXPECT_NE(warnings.find("graphics/lava.bmp"), std::string::npos) << warnings;
  glDeleteTextures(TEXTURE_COUNT, textures);
  std::copy(kept, kept + TEXTURE_COUNT, textures);
}

}  // namespace
