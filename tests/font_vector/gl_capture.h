// What vector drawing hands to OpenGL, read back through GL's feedback mode
// and turned back into the model coordinates the font library used.
#pragma once

#include "tests/support/gl_fixture.h"

#include <vector>

struct captured_vertex {
  float x, y, z;        // model coordinates
  float color[4];
  float s, t;           // texture coordinates
};

enum captured_kind { CAPTURED_LINE, CAPTURED_POLYGON };

struct captured_primitive {
  captured_kind kind;
  std::vector<captured_vertex> vertices;
};

// Opens the test context and sets a view in which model units map to
// known window positions; culling, lighting, texturing and depth test off.
void prepare_capture_view();

// Runs draw in feedback mode and returns its primitives in model coordinates.
std::vector<captured_primitive> capture(void (*draw)());

// The closed loops that consecutive captured lines form, one list of points
// each: a loop ends with the line that comes back to its first point.
std::vector<std::vector<captured_vertex>> line_loops(const std::vector<captured_primitive> &p);
