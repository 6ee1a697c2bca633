// Triangulates a glyph's filled shape with GLU's tessellator. An edge-flag
// callback makes the tessellator hand out plain triangles only (no fans or
// strips), which is what a GLF symbol stores.
#include "glyph_shape.h"

#include <GL/glu.h>
#include <utility>

namespace {

struct tess_state {
  const std::vector<double> *points;
  std::vector<int> *triangles;
  std::vector<int> corner;  // indices of the triangle being collected
  GLenum error = 0;
};

// Stores a triangle turning clockwise seen from +z: the 3D solid mode draws
// its front cap in reverse order and its back cap as stored, so both caps
// then face outward.
void add_clockwise(tess_state &s, int a, int b, int c)
{
  const std::vector<double> &p = *s.points;
  double cross = (p[2 * b] - p[2 * a]) * (p[2 * c + 1] - p[2 * a + 1]) -
                 (p[2 * b + 1] - p[2 * a + 1]) * (p[2 * c] - p[2 * a]);
  if (cross == 0)
    return;  // a flat triangle covers nothing
  if (cross > 0)
    std::swap(b, c);
  s.triangles->insert(s.triangles->end(), {a, b, c});
}

void on_begin(GLenum, void *) {}
void on_edge_flag(GLboolean, void *) {}

void on_vertex(void *vertex, void *user)
{
  tess_state &s = *(tess_state *)user;
  s.corner.push_back(*(int *)vertex);
  if (s.corner.size() < 3)
    return;
  // A triangle that snapping (below) collapsed encloses nothing: skip it.
  if (s.corner[0] != s.corner[1] && s.corner[1] != s.corner[2] && s.corner[0] != s.corner[2])
    add_clockwise(s, s.corner[0], s.corner[1], s.corner[2]);
  s.corner.clear();
}

// Where contours cross, the tessellator wants a new vertex. A GLF symbol's
// vertices all belong to its contours, so the crossing snaps to the nearby
// contour point that weighs most instead.
void on_combine(GLdouble[3], void *data[4], GLfloat weight[4], void **out, void *)
{
  int best = 0;
  for (int i = 1; i < 4; i++)
    if (data[i] && weight[i] > weight[best])
      best = i;
  *out = data[best];
}

void on_error(GLenum error, void *user)
{
  ((tess_state *)user)->error = error;
}

typedef void(*tess_callback)();

}  // namespace

bool triangulate_shape(glyph_shape &shape, std::string &error)
{
  shape.triangles.clear();
  size_t count = shape.points.size() / 2;
  std::vector<GLdouble> coords(count * 3);
  std::vector<int> index(count);
  for (size_t i = 0; i < count; i++) {
    coords[3 * i] = shape.points[2 * i];
    coords[3 * i + 1] = shape.points[2 * i + 1];
    coords[3 * i + 2] = 0;
    index[i] = (int)i;
  }
  GLUtesselator *tess = gluNewTess();
  if (!tess) {
    error = "cannot create a tessellator";
    return false;
  }
  tess_state state;
  state.points = &shape.points;
  state.triangles = &shape.triangles;
  gluTessCallback(tess, GLU_TESS_BEGIN_DATA, (tess_callback)on_begin);
  gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, (tess_callback)on_edge_flag);
  gluTessCallback(tess, GLU_TESS_VERTEX_DATA, (tess_callback)on_vertex);
  gluTessCallback(tess, GLU_TESS_COMBINE_DATA, (tess_callback)on_combine);
  gluTessCallback(tess, GLU_TESS_ERROR_DATA, (tess_callback)on_error);
  gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
  gluTessNormal(tess, 0, 0, 1);
  gluTessBeginPolygon(tess, &state);
  size_t first = 0;
  for (int end : shape.contour_ends) {
    gluTessBeginContour(tess);
    for (size_t i = first; i <= (size_t)end; i++)
      gluTessVertex(tess, &coords[3 * i], &index[i]);
    gluTessEndContour(tess);
    first = end + 1;
  }
  gluTessEndPolygon(tess);
  gluDeleteTess(tess);
  if (state.error) {
    error = (const char *)gluErrorString(state.error);
    return false;
  }
  return true;
}
