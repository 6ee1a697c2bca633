// Feedback capture for the vector drawing tests.
#include "gl_capture.h"

namespace {

// The model origin sits at the window centre, one unit is SCALE pixels, and
// z passes through an orthographic depth range of -RANGE..RANGE.
constexpr float ORIGIN_X = 320, ORIGIN_Y = 240, SCALE = 40, RANGE = 100;
constexpr int VALUES_PER_VERTEX = 3 + 4 + 4;  // GL_3D_COLOR_TEXTURE

captured_vertex to_model(const float *v)
{
  // Window z is 0.5 - z / (2 * RANGE) for this projection.
  return {(v[0] - ORIGIN_X) / SCALE, (v[1] - ORIGIN_Y) / SCALE, (0.5f - v[2]) * 2 * RANGE,
          {v[3], v[4], v[5], v[6]}, v[7], v[8]};
}

}  // namespace

void prepare_capture_view()
{
  open_gl_test_context();
  glViewport(0, 0, 640, 480);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 640, 0, 480, -RANGE, RANGE);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(ORIGIN_X, ORIGIN_Y, 0);
  glScalef(SCALE, SCALE, 1);
  for (GLenum cap : {GL_CULL_FACE, GL_LIGHTING, GL_TEXTURE_2D, GL_DEPTH_TEST})
    glDisable(cap);
  glColor4f(1, 1, 1, 1);
  glTexCoord2f(0, 0);
}

std::vector<captured_primitive> capture(void (*draw)())
{
  std::vector<float> buffer = capture_feedback(draw);
  std::vector<captured_primitive> out;
  for (size_t i = 0; i < buffer.size();) {
    GLenum token = (GLenum)buffer[i++];
    captured_primitive p = {token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN, {}};
    if (!p.line && token != GL_POLYGON_TOKEN) {
      ADD_FAILURE() << "unexpected feedback token " << token;
      break;
    }
    size_t count = p.line ? 2 : (size_t)buffer[i++];
    for (size_t v = 0; v < count && i + VALUES_PER_VERTEX <= buffer.size(); v++, i += VALUES_PER_VERTEX)
      p.vertices.push_back(to_model(&buffer[i]));
    out.push_back(p);
  }
  return out;
}
