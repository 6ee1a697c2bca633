// The game's fixed geometry: the flat tile, hero, enemy and drop display
// lists, and the box of a raised block.
#include "render/render.h"
#include "world/world.h"

#include <alleggl.h>
#include <GL/glu.h>

namespace {

constexpr float SPHERE_RADIUS = 0.8f;  // hero and enemy spheres
constexpr int SPHERE_SLICES = 10;
constexpr int SPHERE_STACKS = 10;
constexpr float DROP_COLOUR[4] = {0.3f, 0.3f, 0.8f, 1.0f};
constexpr float DROP_FLOAT_HEIGHT = 0.5f;  // the drop triangle's own z
constexpr int BOX_FACE_COUNT = 6;
constexpr int QUAD_CORNERS = 4;

// One corner of a face: texture coordinate, then position; top is 1 where
// the corner lies at the block's height and 0 where it lies on the floor.
struct box_corner {
  float s, t;
  float x, y;
  float top;
};

struct box_face {
  float normal[3];
  box_corner corners[QUAD_CORNERS];
};

// The six faces of a block, each counter-clockwise seen from outside so that
// back-face culling keeps only the outward faces.
constexpr box_face box_faces[BOX_FACE_COUNT] = {
  {{0, 0, 1}, {{0, 0, -1, -1, 1}, {1, 0, 1, -1, 1}, {1, 1, 1, 1, 1}, {0, 1, -1, 1, 1}}},     // top
  {{0, 0, -1}, {{1, 0, -1, -1, 0}, {1, 1, -1, 1, 0}, {0, 1, 1, 1, 0}, {0, 0, 1, -1, 0}}},    // bottom
  {{0, 1, 0}, {{0, 1, -1, 1, 0}, {0, 0, -1, 1, 1}, {1, 0, 1, 1, 1}, {1, 1, 1, 1, 0}}},       // +y
  {{0, -1, 0}, {{1, 1, -1, -1, 0}, {0, 1, 1, -1, 0}, {0, 0, 1, -1, 1}, {1, 0, -1, -1, 1}}},  // -y
  {{1, 0, 0}, {{1, 0, 1, -1, 0}, {1, 1, 1, 1, 0}, {0, 1, 1, 1, 1}, {0, 0, 1, -1, 1}}},       // +x
  {{-1, 0, 0}, {{0, 0, -1, -1, 0}, {1, 0, -1, -1, 1}, {1, 1, -1, 1, 1}, {0, 1, -1, 1, 0}}},  // -x
};

// The flat tile: 2 x 2 at z = 0; t runs from 1 at y = -1 to 0 at y = 1.
void compile_tile_list()
{
  tile_lists = glGenLists(1);
  glNewList(tile_lists, GL_COMPILE);
  allegro_gl_begin();
  glBegin(GL_QUADS);
  glNormal3f(0, 0, 1);
  glTexCoord2f(0, 1);
  glVertex3f(-1, -1, 0);
  glTexCoord2f(1, 1);
  glVertex3f(1, -1, 0);
  glTexCoord2f(1, 0);
  glVertex3f(1, 1, 0);
  glTexCoord2f(0, 0);
  glVertex3f(-1, 1, 0);
  glEnd();
  allegro_gl_end();
  glEndList();
}

// A textured quadric for a sphere list, with outward normals; null when GLU
// has no memory for one.
GLUquadric *new_sphere_quadric()
{
  GLUquadric *quadric = gluNewQuadric();
  if (!quadric)
    return nullptr;
  gluQuadricDrawStyle(quadric, GLU_FILL);
  gluQuadricTexture(quadric, GL_TRUE);
  gluQuadricOrientation(quadric, GLU_OUTSIDE);
  return quadric;
}

// A white sphere with the given texture; the name is recorded at compile time.
// Without a quadric the list draws no sphere rather than crash.
GLuint compile_sphere_list(GLUquadric *quadric, GLuint texture)
{
  GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  glBindTexture(GL_TEXTURE_2D, texture);
  glColor4f(1, 1, 1, 1);
  if (quadric)
    gluSphere(quadric, SPHERE_RADIUS, SPHERE_SLICES, SPHERE_STACKS);
  glEndList();
  return list;
}

// A drop: one flat triangle pointing along +x, facing up; no texture
// coordinates of its own, and its colour stays current after the call.
void compile_drop_list()
{
  drop_list = glGenLists(1);
  glNewList(drop_list, GL_COMPILE);
  glColor4fv(DROP_COLOUR);
  allegro_gl_begin();
  glBegin(GL_TRIANGLES);
  glNormal3f(0, 0, 1);
  glVertex3f(0.3f, 0, DROP_FLOAT_HEIGHT);
  glVertex3f(-0.3f, 0.3f, DROP_FLOAT_HEIGHT);
  glVertex3f(-0.3f, -0.3f, DROP_FLOAT_HEIGHT);
  glEnd();
  allegro_gl_end();
  glEndList();
}

}  // namespace

GLuint tile_lists, hero_list, enemy_list, drop_list;
GLUquadric *hero_quadric, *enemy_quadric;

void build_display_lists()
{
  // The sphere lists record texture names: load_texture_set runs first.
  compile_tile_list();
  hero_quadric = new_sphere_quadric();
  hero_list = compile_sphere_list(hero_quadric, textures[KIND_HERO_SKIN]);
  enemy_quadric = new_sphere_quadric();
  enemy_list = compile_sphere_list(enemy_quadric, textures[KIND_ENEMY_SKIN]);
  compile_drop_list();
}

void draw_block_box(float height)
{
  glBegin(GL_QUADS);
  for (const box_face &face : box_faces) {
    glNormal3fv(face.normal);
    for (const box_corner &corner : face.corners) {
      glTexCoord2f(corner.s, corner.t);
      glVertex3f(corner.x, corner.y, corner.top * height);
    }
  }
  glEnd();
}
