// Feedback capture for the vector drawing tests.
#include "gl_capture.h"

#include <GL/glu.h>

namespace {

// Model units to window pixels: the model origin sits at the window centre,
// one unit is SCALE pixels, and z passes through an orthographic depth range.
constexpr float ORIGIN_X = 320.0f, ORIGIN_Y = 240.0f, SCALE = 40.0f;
constexpr float DEPTH_RANGE = 100.0f;  // glOrtho near -100, far 100
constexpr int VALUES_PER_VERTEX = 3 + 4 + 4;  // GL_3D_COLOR_TEXTURE

captured_vertex to_model(const float *v)
{
  captured_vertex out;
  out.x = (v[0] - ORIGIN_X) / SCALE;
  out.y = (v[1] - ORIGIN_Y) / SCALE;
  // Window z = 0.5 - z / (2 * range) for this projection.
  out.z = (0.5f - v[2]) * 2.0f * DEPTH_RANGE;
  for (int i = 0; i < 4; i++)
    out.color[i] = v[3 + i];
  out.s = v[7];
  out.t = v[8];
  return out;
}

}  // namespace

void prepare_capture_view()
{
  open_gl_test_context();
  glViewport(0, 0, 640, 480);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 640, 0, 480, -DEPTH_RANGE, DEPTH_RANGE);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(ORIGIN_X, ORIGIN_Y, 0);
  glScalef(SCALE, SCALE, 1);
  glDisable(GL_CULL_FACE);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glColor4f(1, 1, 1, 1);
  glTexCoord2f(0, 0);
}

std::vector<captured_primitive> capture(void (*draw)())
{
  std::vector<float> buffer = capture_feedback(draw);
  std::vector<captured_primitive> out;
  size_t i = 0;
  while (i < buffer.size()) {
    GLenum token = (GLenum)buffer[i++];
    captured_primitive p;
    size_t count = 0;
    if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
      p.kind = CAPTURED_LINE;
      count = 2;
    } else if (token == GL_POLYGON_TOKEN) {
      p.kind = CAPTURED_POLYGON;
      count = (size_t)buffer[i++];
    } else {
      ADD_FAILURE() << "unexpected feedback token " << token;
      break;
    }
    for (size_t v = 0; v < count && i + VALUES_PER_VERTEX <= buffer.size(); v++, i += VALUES_PER_VERTEX)
      p.vertices.push_back(to_model(&buffer[i]));
    out.push_back(p);
  }
  return out;
}

std::vector<std::vector<captured_vertex>> line_loops(const std::vector<captured_primitive> &p)
{
  std::vector<std::vector<captured_vertex>> loops;
  bool open = false;
  for (const captured_primitive &prim : p) {
    if (prim.kind != CAPTURED_LINE)
      continue;
    if (!open)
      loops.emplace_back();
    loops.back().push_back(prim.vertices[0]);
    const captured_vertex &first = loops.back().front(), &end = prim.vertices[1];
    open = !(end.x == first.x && end.y == first.y && end.z == first.z);
  }
  return loops;
}
