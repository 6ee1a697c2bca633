// What vector drawing hands to OpenGL, read back in GL's feedback mode and
// turned back into the model coordinates the font library used.
#pragma once

#include "tests/support/gl_fixture.h"

#include <vector>

struct captured_vertex {
  float x, y, z;  // model coordinates
  float color[4];
  float s, t;     // texture coordinates
};

// A line (two vertices) or a polygon.
struct captured_primitive {
  bool line;
  std::vector<captured_vertex> vertices;
};

// Opens the test context with a view that maps model units to known window
// positions; culling, lighting, texturing and the depth test off.
void prepare_capture_view();
// Runs draw in feedback mode and returns its primitives.
std::vector<captured_primitive> capture(void (*draw)());
