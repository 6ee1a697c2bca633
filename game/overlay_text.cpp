// Words over the picture: the vector font, drawn solid in pixel coordinates
// with blending, over the frame already in the back buffer.
#include "game/overlay_text.h"
#include "assets/asset_files.h"
#include "font/font.h"
#include "render/render.h"
#include "world/world.h"

#include <alleggl.h>
#include <cstdio>

namespace {

constexpr float SHADOW_OFFSET = 2.0f;      // pixels right and down of the words
constexpr float SHADOW_OPACITY = 0.6f;     // of the words' own opacity
constexpr overlay_colour SHADOW_COLOUR = {0.0f, 0.0f, 0.0f};
constexpr float SIDE_MARGIN = 16.0f;       // pixels kept free at each side of the screen
constexpr float DEPTH_RANGE = 10.0f;       // the overlay's near and far planes

int overlay_font = -1;

// The extent of a text in font units.
struct text_box {
  float min_x, min_y, max_x, max_y;
};

// The text in one colour, its box centred on (x, y), scale pixels a unit.
void draw_text_once(const char *text, const text_box &box, float x, float y, float scale,
                    overlay_colour colour, float opacity)
{
  glPushMatrix();
  glTranslatef(x, y, 0.0f);
  glScalef(scale, scale, 1.0f);
  glTranslatef(-(box.min_x + box.max_x) / 2.0f, -(box.min_y + box.max_y) / 2.0f, 0.0f);
  glColor4f(colour.red, colour.green, colour.blue, opacity);
  vector_font_draw_string_solid(overlay_font, text);
  glPopMatrix();
}

}  // namespace

void load_overlay_font()
{
  overlay_font = vector_font_load(VECTOR_FONT_FILE);
  if (overlay_font < 0)
    std::fprintf(stderr, "pilko: warning: cannot load %s; playing without words over the picture\n",
                 VECTOR_FONT_FILE);
}

void begin_overlay()
{
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  use_picture_area();
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, screen_width, 0, screen_height, -DEPTH_RANGE, DEPTH_RANGE);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_CULL_FACE);
  glDisable(GL_BLEND);  // each drawing below that blends says so
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void end_overlay()
{
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();
}

void draw_shaded_band(float centre_y, float half_height, float shade, float opacity)
{
  glEnable(GL_BLEND);
  glColor4f(0.0f, 0.0f, 0.0f, shade * opacity);
  glRectf(0.0f, centre_y - half_height, (float)screen_width, centre_y + half_height);
  glDisable(GL_BLEND);
}

void draw_centred_words(const char *text, float centre_x, float centre_y, float letter_scale,
                        overlay_colour colour, float opacity)
{
  if (overlay_font < 0)
    return;
  text_box box = {0, 0, 0, 0};
  vector_string_bounds(overlay_font, text, &box.min_x, &box.min_y, &box.max_x, &box.max_y);
  float width = box.max_x - box.min_x, room = screen_width - 2.0f * SIDE_MARGIN;
  if (width * letter_scale > room)
    letter_scale = room / width;
  glEnable(GL_BLEND);
  draw_text_once(text, box, centre_x + SHADOW_OFFSET, centre_y - SHADOW_OFFSET, letter_scale,
                 SHADOW_COLOUR, SHADOW_OPACITY * opacity);
  draw_text_once(text, box, centre_x, centre_y, letter_scale, colour, opacity);
  glDisable(GL_BLEND);
}
