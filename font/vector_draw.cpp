// Vector text drawing: the four symbol modes, the one string walker that
// lays strings out for all of them, the per-font variants, the string bounds
// and the drawing settings.
#include "font/vector_internal.h"

#include <GL/gl.h>

namespace {

constexpr float FLAT_Z = 0.0f;    // plane of the flat modes
constexpr float BACK_Z = 1.0f;    // back face of the 3D modes; the front is BACK_Z + depth
constexpr char SPACE = ' ';

// A symbol and the anchor's shift of its drawn coordinates.
struct placed_symbol {
  const vector_symbol *symbol;
  float dx, dy;
};

// The shift that the current anchor gives every drawn coordinate.
void anchor_shift(float *dx, float *dy)
{
  *dx = 0.0f;
  *dy = 0.0f;
  switch (text_anchor) {
    case VECTOR_ANCHOR_TOP_LEFT: *dx = 1.0f; *dy = -1.0f; break;
    case VECTOR_ANCHOR_LEFT: *dx = 1.0f; break;
    case VECTOR_ANCHOR_BOTTOM_LEFT: *dx = 1.0f; *dy = 1.0f; break;
    case VECTOR_ANCHOR_TOP: *dy = -1.0f; break;
    case VECTOR_ANCHOR_BOTTOM: *dy = 1.0f; break;
    default: break;  // the centre and codes 26 to 28 do not move
  }
}

// The current font's symbol for code with the anchor's shift; false when
// there is nothing to draw.
bool place_symbol(int code, placed_symbol *out)
{
  out->symbol = vector_current_symbol(code);
  anchor_shift(&out->dx, &out->dy);
  return out->symbol != nullptr;
}

float vertex_x(const placed_symbol &p, int v) { return p.symbol->vertices[2 * v]; }
float vertex_y(const placed_symbol &p, int v) { return p.symbol->vertices[2 * v + 1]; }

void put_vertex(const placed_symbol &p, int v, float z)
{
  glVertex3f(vertex_x(p, v) + p.dx, vertex_y(p, v) + p.dy, z);
}

// First and last vertex of contour k; the loader guarantees that the
// contours partition the vertex list.
void contour_span(const vector_symbol *s, int k, int *first, int *last)
{
  *first = k == 0 ? 0 : s->contour_ends[k - 1] + 1;
  *last = s->contour_ends[k];
}

// Every contour as a closed line loop in the plane z.
void draw_contour_loops(const placed_symbol &p, float z)
{
  for (int k = 0; k < p.symbol->contour_count; k++) {
    int first, last;
    contour_span(p.symbol, k, &first, &last);
    glBegin(GL_LINE_LOOP);
    for (int v = first; v <= last; v++)
      put_vertex(p, v, z);
    glEnd();
  }
}

// The triangles in the plane z, each in stored or in reverse order.
void draw_triangles(const placed_symbol &p, float z, bool reversed, bool textured)
{
  glBegin(GL_TRIANGLES);
  for (int t = 0; t < p.symbol->triangle_count; t++) {
    for (int corner = 0; corner < 3; corner++) {
      int v = p.symbol->triangles[3 * t + (reversed ? 2 - corner : corner)];
      // Maps the symbol square -1..1 onto the texture's 0..1.
      if (textured)
        glTexCoord2f((vertex_x(p, v) + 1.0f) * 0.5f, (vertex_y(p, v) + 1.0f) * 0.5f);
      put_vertex(p, v, z);
    }
  }
  glEnd();
}

// One wall per contour, closed by repeating the contour's first vertex.
void draw_side_walls(const placed_symbol &p, float back, float front)
{
  for (int k = 0; k < p.symbol->contour_count; k++) {
    int first, last;
    contour_span(p.symbol, k, &first, &last);
    glBegin(GL_QUAD_STRIP);
    for (int v = first; v <= last; v++) {
      // The vertex position as normal: it points away from the symbol's
      // centre, which is enough for lighting the thin walls of a letter.
      glNormal3f(vertex_x(p, v), vertex_y(p, v), 0.0f);
      put_vertex(p, v, back);
      put_vertex(p, v, front);
    }
    put_vertex(p, first, back);
    put_vertex(p, first, front);
    glEnd();
  }
}

// Draws code's outline in the contour colour, unlit if asked, and leaves
// colour and lighting as it found them.
void draw_outline_pass(int code, vector_symbol_operation outline, bool unlit)
{
  GLboolean lighting = GL_FALSE;
  if (unlit) {
    glGetBooleanv(GL_LIGHTING, &lighting);
    glDisable(GL_LIGHTING);
  }
  GLfloat saved_color[4];
  glGetFloatv(GL_CURRENT_COLOR, saved_color);
  glColor4fv(contour_color);
  outline(code);
  glColor4fv(saved_color);
  if (lighting)
    glEnable(GL_LIGHTING);
}

const vector_symbol *symbol_of(const vector_font *font, char c)
{
  return font->symbols[(unsigned char)c];
}

// The symbol of c when it puts ink on the page; null for a space, a code the
// font lacks and an empty symbol (one without vertices, whose box still holds
// the reader's start values): those only take up their advance from the pen.
const vector_symbol *inked_symbol(const vector_font *font, char c)
{
  const vector_symbol *s = symbol_of(font, c);
  return s && c != SPACE && s->vertex_count > 0 ? s : nullptr;
}

// Runs op with the font in slot made current for the call; an empty or
// invalid slot does nothing.
template <typename Argument>
void with_font(int slot, void (*op)(Argument), Argument argument)
{
  if (!vector_font_get(slot))
    return;
  int remembered = vector_current_font;
  vector_current_font = slot;
  op(argument);
  vector_current_font = remembered;
}

}  // namespace

// ---- Symbols ------------------------------------------------------------------

void vector_draw_symbol_wired(int code)
{
  placed_symbol p;
  if (place_symbol(code, &p))
    draw_contour_loops(p, FLAT_Z);
}

void vector_draw_symbol_solid(int code)
{
  placed_symbol p;
  if (!place_symbol(code, &p))
    return;
  draw_triangles(p, FLAT_Z, false, font_option_texturing == FONT_OPTION_ON);
  if (font_option_contouring == FONT_OPTION_ON)
    draw_outline_pass(code, vector_draw_symbol_wired, false);
}

void vector_draw_symbol_3d_wired(int code)
{
  placed_symbol p;
  if (!place_symbol(code, &p))
    return;
  float front = BACK_Z + symbol_depth;
  draw_contour_loops(p, BACK_Z);
  draw_contour_loops(p, front);
  glBegin(GL_LINES);
  for (int v = 0; v < p.symbol->vertex_count; v++) {
    put_vertex(p, v, BACK_Z);
    put_vertex(p, v, front);
  }
  glEnd();
}

void vector_draw_symbol_3d_solid(int code)
{
  placed_symbol p;
  if (!place_symbol(code, &p))
    return;
  float front = BACK_Z + symbol_depth;
  // The front cap faces +z, so its triangles turn the other way round.
  glNormal3f(0.0f, 0.0f, 1.0f);
  draw_triangles(p, front, true, false);
  glNormal3f(0.0f, 0.0f, -1.0f);
  draw_triangles(p, BACK_Z, false, false);
  draw_side_walls(p, BACK_Z, front);
  if (font_option_contouring == FONT_OPTION_ON)
    draw_outline_pass(code, vector_draw_symbol_3d_wired, true);
}

// ---- Strings ------------------------------------------------------------------

float vector_layout_advance(const vector_font *font, const char *text, int index)
{
  const vector_symbol *s = inked_symbol(font, text[index]);
  if (!s)
    return space_size;
  char next = text[index + 1];
  if (next == '\0')
    return 0.0f;
  const vector_symbol *n = inked_symbol(font, next);
  if (!n)
    return symbol_of(font, next) || next == SPACE ? symbol_spacing : 0.0f;
  // Puts the next symbol's left edge symbol_spacing after this one's right edge.
  return s->max_x - n->min_x + symbol_spacing;
}

void vector_draw_string(const char *text, vector_symbol_operation draw_symbol)
{
  const vector_font *font = vector_font_get(vector_current_font);
  if (!text || !*text || !font)
    return;
  glPushMatrix();
  for (int i = 0; text[i]; i++) {
    if (text[i] != SPACE)
      draw_symbol((unsigned char)text[i]);
    glTranslatef(vector_layout_advance(font, text, i), 0.0f, 0.0f);
  }
  // Each string starts where the caller put it, not where the last one ended.
  glPopMatrix();
}

void vector_draw_string_wired(const char *text) { vector_draw_string(text, vector_draw_symbol_wired); }
void vector_draw_string_solid(const char *text) { vector_draw_string(text, vector_draw_symbol_solid); }
void vector_draw_string_3d_wired(const char *text) { vector_draw_string(text, vector_draw_symbol_3d_wired); }
void vector_draw_string_3d_solid(const char *text) { vector_draw_string(text, vector_draw_symbol_3d_solid); }

// ---- The same with a given font -------------------------------------------------

void vector_font_draw_symbol_wired(int slot, int code) { with_font(slot, vector_draw_symbol_wired, code); }
void vector_font_draw_symbol_solid(int slot, int code) { with_font(slot, vector_draw_symbol_solid, code); }
void vector_font_draw_symbol_3d_wired(int slot, int code) { with_font(slot, vector_draw_symbol_3d_wired, code); }
void vector_font_draw_symbol_3d_solid(int slot, int code) { with_font(slot, vector_draw_symbol_3d_solid, code); }
void vector_font_draw_string_wired(int slot, const char *text) { with_font(slot, vector_draw_string_wired, text); }
void vector_font_draw_string_solid(int slot, const char *text) { with_font(slot, vector_draw_string_solid, text); }
void vector_font_draw_string_3d_wired(int slot, const char *text) { with_font(slot, vector_draw_string_3d_wired, text); }
void vector_font_draw_string_3d_solid(int slot, const char *text) { with_font(slot, vector_draw_string_3d_solid, text); }

// ---- Bounds ---------------------------------------------------------------------

void vector_string_bounds(int slot, const char *text, float *min_x, float *min_y,
                          float *max_x, float *max_y)
{
  const vector_font *font = vector_font_get(slot);
  if (!font)
    return;
  if (!text)
    text = "";
  // A string that starts with a space or a blank starts at the pen.
  const vector_symbol *first = inked_symbol(font, text[0]);
  float left = first ? first->min_x : 0.0f;
  float low = VECTOR_BOX_START_MIN, high = VECTOR_BOX_START_MAX, total = 0.0f;
  for (int i = 0; text[i]; i++) {
    const vector_symbol *s = inked_symbol(font, text[i]);
    if (s) {
      total += s->max_x - s->min_x + symbol_spacing;
      if (s->max_y > high) high = s->max_y;
      if (s->min_y < low) low = s->min_y;
    } else {
      total += space_size;
    }
  }
  float dx, dy;
  anchor_shift(&dx, &dy);
  // Each corner goes out whole or not at all: half a corner is no box.
  if (max_x && max_y) {
    *max_x = total + left + dx;
    *max_y = high + dy;
  }
  if (min_x && min_y) {
    *min_x = left + dx;
    *min_y = low + dy;
  }
}

void vector_current_string_bounds(const char *text, float *min_x, float *min_y,
                                  float *max_x, float *max_y)
{
  vector_string_bounds(vector_current_font, text, min_x, min_y, max_x, max_y);
}

// ---- Settings -------------------------------------------------------------------

void vector_set_symbol_spacing(float spacing) { symbol_spacing = spacing; }
float vector_get_symbol_spacing() { return symbol_spacing; }
void vector_set_space_size(float size) { space_size = size; }
float vector_get_space_size() { return space_size; }
void vector_set_symbol_depth(float depth) { symbol_depth = depth; }
float vector_get_symbol_depth() { return symbol_depth; }
int vector_get_anchor() { return text_anchor; }

void vector_set_anchor(int anchor)
{
  if (anchor >= VECTOR_ANCHOR_TOP_LEFT && anchor <= VECTOR_ANCHOR_LAST)
    text_anchor = (uint8_t)anchor;
}

void vector_set_contour_color(float red, float green, float blue, float alpha)
{
  contour_color[0] = red;
  contour_color[1] = green;
  contour_color[2] = blue;
  contour_color[3] = alpha;
}
