// The sphere skins on a real GLU sphere drawn as the game draws hero and enemies (radius 0.8,
// 10 slices and stacks, texture flipped on upload and clamped): faces look along +x.
#include "tests/support/gl_fixture.h"
#include "tests/assets/asset_files.h"

#include <GL/glu.h>

namespace {

constexpr int W = 640, H = 480;

// Uploads a texture as the game does: the image's bottom row first.
GLuint upload_skin(const char *name)
{
  BITMAP *b = load_bitmap(data_file(std::string("graphics/") + name).c_str(), nullptr);
  if (!b)
    return 0;
  std::vector<unsigned char> rows;
  for (int y = b->h - 1, depth = bitmap_color_depth(b); y >= 0; --y)
    for (int x = 0; x < b->w; ++x) {
      int c = getpixel(b, x, y);
      rows.insert(rows.end(), {(unsigned char)getr_depth(depth, c),
                               (unsigned char)getg_depth(depth, c), (unsigned char)getb_depth(depth, c)});
    }
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, b->w, b->h, 0, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  destroy_bitmap(b);
  return texture;
}

// The unlit sphere seen from 5 units along (dx, dy, dz), up along (ux, uy, uz), on green.
std::vector<unsigned char> view_sphere(GLuint texture, float dx, float dy, float dz, float ux = 0,
                                       float uy = 0, float uz = 1)
{
  glViewport(0, 0, W, H);
  glClearColor(0, 0.5f, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1, 1, -0.75, 0.75, 0.1, 20);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(dx * 5, dy * 5, dz * 5, 0, 0, 0, ux, uy, uz);
  glDisable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture);
  glColor4f(1, 1, 1, 1);
  GLUquadric *quadric = gluNewQuadric();
  gluQuadricTexture(quadric, GL_TRUE);
  gluSphere(quadric, 0.8, 10, 10);
  gluDeleteQuadric(quadric);
  glFinish();
  return read_back_buffer(0, 0, W, H);
}

// Pixels that pass a colour test.
int count(const std::vector<unsigned char> &pixels, bool (*test)(int, int, int))
{
  int n = 0;
  for (size_t i = 0; i + 2 < pixels.size(); i += 3)
    n += test(pixels[i], pixels[i + 1], pixels[i + 2]);
  return n;
}
bool dark(int r, int g, int b) { return r < 50 && g < 50 && b < 50; }
bool glowing_yellow(int r, int g, int b) { return r > 200 && g > 150 && b < 100; }
bool whitish_at(const std::vector<unsigned char> &pixels, int x, int y)  // from the bottom left
{
  const unsigned char *p = &pixels[(y * W + x) * 3];
  return p[0] > 200 && p[1] > 200 && p[2] > 200;
}

}  // namespace

TEST(SphereSkin, HeroFacesPlusXWithItsCrestRunningFrontToBack)
{
  open_gl_test_context();
  GLuint skin = upload_skin("kez.bmp");
  ASSERT_NE(skin, 0u);
  // Pupils and smile are the only dark parts of the hero.
  int front = count(view_sphere(skin, 1, 0, 0.3f), dark);
  EXPECT_GT(front, 1500) << "no face seen from +x";
  EXPECT_LT(count(view_sphere(skin, -1, 0, 0.3f), dark) * 10, front) << "face shows from behind";
  EXPECT_LT(count(view_sphere(skin, 0, 1, 0.3f), dark) * 2, front) << "the face looks sideways";
  // From above with +x up the screen the crest is a white band up the middle.
  std::vector<unsigned char> top = view_sphere(skin, 0, 0, 1, 1, 0, 0);
  EXPECT_TRUE(whitish_at(top, W / 2, H / 2 + 60)) << "no crest towards the front";
  EXPECT_TRUE(whitish_at(top, W / 2, H / 2 - 120)) << "no crest towards the back";
  EXPECT_FALSE(whitish_at(top, W / 2 + 120, H / 2) || whitish_at(top, W / 2 - 120, H / 2))
      << "the crest runs sideways";
  glDeleteTextures(1, &skin);
}

TEST(SphereSkin, EnemyGlaresAlongPlusX)
{
  open_gl_test_context();
  GLuint skin = upload_skin("enemy.bmp");
  ASSERT_NE(skin, 0u);
  int front = count(view_sphere(skin, 1, 0, 0.2f), glowing_yellow);
  EXPECT_GT(front, 1000) << "no glowing eyes seen from +x";
  EXPECT_LT(count(view_sphere(skin, -1, 0, 0.2f), glowing_yellow) * 3, front) << "eyes glare back";
  glDeleteTextures(1, &skin);
}
