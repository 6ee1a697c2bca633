// The sphere skins on a real GLU sphere, as the game draws its hero and
// enemies (radius 0.8, 10 slices and stacks, the texture flipped on upload
// and clamped): the face looks along +x, where heading 0 walks.
#include "tests/support/gl_fixture.h"
#include "tests/assets/asset_files.h"

#include <GL/glu.h>

namespace {

constexpr int VIEW_WIDTH = 640, VIEW_HEIGHT = 480;
constexpr float SPHERE_RADIUS = 0.8f;
constexpr int SPHERE_DIVISIONS = 10;
constexpr float VIEW_DISTANCE = 5.0f;

// Uploads a texture as the game does: the image's bottom row first.
GLuint upload_skin(const char *name)
{
  BITMAP *b = load_bitmap(data_file(std::string("graphics/") + name).c_str(), nullptr);
  if (!b)
    return 0;
  std::vector<unsigned char> rows;
  for (int y = b->h - 1; y >= 0; --y)
    for (int x = 0; x < b->w; ++x) {
      int c = getpixel(b, x, y);
      int depth = bitmap_color_depth(b);
      rows.push_back(getr_depth(depth, c));
      rows.push_back(getg_depth(depth, c));
      rows.push_back(getb_depth(depth, c));
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

// The sphere seen from (dx, dy, dz) with up along (ux, uy, uz), unlit, on
// a green background; returns the pixels.
std::vector<unsigned char> view_sphere(GLuint texture, float dx, float dy, float dz, float ux,
                                       float uy, float uz)
{
  glViewport(0, 0, VIEW_WIDTH, VIEW_HEIGHT);
  glClearColor(0, 0.5f, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1, 1, -0.75, 0.75, 0.1, 20);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(dx * VIEW_DISTANCE, dy * VIEW_DISTANCE, dz * VIEW_DISTANCE, 0, 0, 0, ux, uy, uz);
  glDisable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture);
  glColor4f(1, 1, 1, 1);
  GLUquadric *quadric = gluNewQuadric();
  gluQuadricDrawStyle(quadric, GLU_FILL);
  gluQuadricTexture(quadric, GL_TRUE);
  gluQuadricOrientation(quadric, GLU_OUTSIDE);
  gluSphere(quadric, SPHERE_RADIUS, SPHERE_DIVISIONS, SPHERE_DIVISIONS);
  gluDeleteQuadric(quadric);
  glFinish();
  return read_back_buffer(0, 0, VIEW_WIDTH, VIEW_HEIGHT);
}

// Pixels that pass a colour test.
template <typename Test>
int count(const std::vector<unsigned char> &pixels, Test test)
{
  int n = 0;
  for (size_t i = 0; i + 2 < pixels.size(); i += 3)
    n += test(pixels[i], pixels[i + 1], pixels[i + 2]);
  return n;
}

bool dark(int r, int g, int b)
{
  return r < 50 && g < 50 && b < 50;
}

bool glowing_yellow(int r, int g, int b)
{
  return r > 200 && g > 150 && b < 100;
}

// Whether the pixel at (x, y), counted from the bottom left, is near white.
bool whitish_at(const std::vector<unsigned char> &pixels, int x, int y)
{
  const unsigned char *p = &pixels[(y * VIEW_WIDTH + x) * 3];
  return p[0] > 200 && p[1] > 200 && p[2] > 200;
}

class SphereSkin : public ::testing::Test {
protected:
  void SetUp() override { open_gl_test_context(); }
};

}  // namespace

TEST_F(SphereSkin, HeroFacesPlusXWithEyesAndSmile)
{
  GLuint skin = upload_skin("kez.bmp");
  ASSERT_NE(skin, 0u);
  // Pupils and smile are the only dark parts of the hero.
  int front = count(view_sphere(skin, 1, 0, 0.3f, 0, 0, 1), dark);
  int back = count(view_sphere(skin, -1, 0, 0.3f, 0, 0, 1), dark);
  int left = count(view_sphere(skin, 0, 1, 0.3f, 0, 0, 1), dark);
  EXPECT_GT(front, 1500) << "no face seen from +x";
  EXPECT_LT(back * 10, front) << "the face shows from behind";
  EXPECT_LT(left * 2, front) << "the face looks sideways";
  glDeleteTextures(1, &skin);
}

TEST_F(SphereSkin, HeroCrestRunsFrontToBackOverTheTop)
{
  GLuint skin = upload_skin("kez.bmp");
  ASSERT_NE(skin, 0u);
  // From above with +x up the screen: the crest is a white band up the
  // middle, from the back (below the centre) over the top.
  std::vector<unsigned char> top = view_sphere(skin, 0, 0, 1, 1, 0, 0);
  const int cx = VIEW_WIDTH / 2, cy = VIEW_HEIGHT / 2;
  EXPECT_TRUE(whitish_at(top, cx, cy + 60)) << "no crest towards the front";
  EXPECT_TRUE(whitish_at(top, cx, cy - 120)) << "no crest towards the back";
  EXPECT_FALSE(whitish_at(top, cx + 120, cy)) << "the crest runs sideways";
  EXPECT_FALSE(whitish_at(top, cx - 120, cy)) << "the crest runs sideways";
  glDeleteTextures(1, &skin);
}

TEST_F(SphereSkin, EnemyGlaresAlongPlusX)
{
  GLuint skin = upload_skin("enemy.bmp");
  ASSERT_NE(skin, 0u);
  int front = count(view_sphere(skin, 1, 0, 0.2f, 0, 0, 1), glowing_yellow);
  int back = count(view_sphere(skin, -1, 0, 0.2f, 0, 0, 1), glowing_yellow);
  EXPECT_GT(front, 1000) << "no glowing eyes seen from +x";
  EXPECT_LT(back * 3, front) << "the eyes glare backwards";
  glDeleteTextures(1, &skin);
}
