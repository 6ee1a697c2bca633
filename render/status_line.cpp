// The status line: lives and drops left, then the game's web address, written
// with the current bitmap font over the bottom left of the picture.
#include "render/render.h"
#include "font/font.h"
#include "world/world.h"

#include <GL/glu.h>
#include <cstdio>

namespace {

constexpr double OVERLAY_WIDTH = 6.0;   // the overlay's units across the screen
constexpr double OVERLAY_HEIGHT = 8.0;  // and up it
constexpr float TEXT_SCALE = 3.5f;
constexpr float TEXT_GAP = 0.52f;       // text units between the two texts

// The second text; the trailing space is part of it.
const char *const status_tagline = "pilko.games ";

}  // namespace

char hud_text[HUD_TEXT_SIZE];

void draw_status_line()
{
  glColor4f(1, 1, 1, 1);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluOrtho2D(0.0, OVERLAY_WIDTH, 0.0, OVERLAY_HEIGHT);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();

  bitmap_text_begin();
  glScalef(TEXT_SCALE, TEXT_SCALE, 1.0f);
  glDisable(GL_LIGHTING);
  glEnable(GL_BLEND);
  std::snprintf(hud_text, sizeof hud_text, "Lives: %d | Drops: %d", lives, drops_left);
  bitmap_draw_string(hud_text);
  // Each glyph moved the matrix past itself: the second text follows on.
  glTranslatef(TEXT_GAP, 0, 0);
  std::snprintf(hud_text, sizeof hud_text, "%s", status_tagline);
  bitmap_draw_string(hud_text);
  glEnable(GL_LIGHTING);
  glDisable(GL_BLEND);
  bitmap_text_end();

  // The modelview is left as it is: the next frame loads the identity.
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}
