// Pausing a game: the last frame is read back once and shown again, with the
// word "PAUSED" in the game's vector font over a darkened band.
#include "game/pause.h"
#include "assets/asset_files.h"
#include "font/font.h"
#include "game/quit_signal.h"
#include "game/screen_keys.h"
#include "world/world.h"

#include <alleggl.h>
#include <cstdio>
#include <vector>

namespace {

constexpr float BANNER_HALF_HEIGHT = 40.0f;   // pixels above and below the centre line
constexpr float BANNER_SHADE = 0.55f;         // how much the band darkens the picture
constexpr float LETTER_SCALE = 28.0f;         // pixels per unit of the font's -1..1 symbols
constexpr int PAUSE_POLL_MS = 40;             // how often the pause looks at the keys

int pause_font = -1;

// The frame drawn but not yet shown (the back buffer), bottom row first, as RGBA bytes.
std::vector<unsigned char> read_drawn_frame()
{
  std::vector<unsigned char> pixels((size_t)screen_width * screen_height * 4);
  allegro_gl_begin();
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, screen_width, screen_height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  allegro_gl_end();
  return pixels;
}

void draw_word_centred(const char *word)
{
  float min_x, min_y, max_x, max_y;
  vector_string_bounds(pause_font, word, &min_x, &min_y, &max_x, &max_y);
  glTranslatef(screen_width / 2.0f, screen_height / 2.0f, 0.0f);
  glScalef(LETTER_SCALE, LETTER_SCALE, 1.0f);
  glTranslatef(-(min_x + max_x) / 2.0f, -(min_y + max_y) / 2.0f, 0.0f);
  vector_font_draw_string_solid(pause_font, word);
}

// The frozen frame, the band and the word, in pixel coordinates; every GL
// setting the scene relies on is put back afterwards.
void draw_paused_frame(const std::vector<unsigned char> &frame)
{
  allegro_gl_begin();
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, screen_width, 0, screen_height, -10, 10);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_CULL_FACE);

  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glRasterPos2i(0, 0);
  glDrawPixels(screen_width, screen_height, GL_RGBA, GL_UNSIGNED_BYTE, frame.data());
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(0.0f, 0.0f, 0.0f, BANNER_SHADE);
  glRectf(0.0f, screen_height / 2.0f - BANNER_HALF_HEIGHT, (float)screen_width,
          screen_height / 2.0f + BANNER_HALF_HEIGHT);
  glDisable(GL_BLEND);
  if (pause_font >= 0) {
    glColor3f(1.0f, 0.85f, 0.3f);
    draw_word_centred("PAUSED");
  }

  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();
  allegro_gl_flip();
  allegro_gl_end();
}

}  // namespace

void load_pause_font()
{
  pause_font = vector_font_load(VECTOR_FONT_FILE);
  if (pause_font < 0)
    std::fprintf(stderr, "pilko: warning: cannot load %s; a pause shows no word\n",
                 VECTOR_FONT_FILE);
}

bool pause_key_pressed()
{
  return look_for_presses() && pressed_on_screen(KEY_P);
}

bool pause_game(bool p_goes_on)
{
  std::vector<unsigned char> frame = read_drawn_frame();
  bool go_on = true;
  // The P that paused, still held, neither ends the pause nor pauses again.
  begin_screen_keys();
  for (;;) {
    // Drawn again at every look, so a window that was covered shows it again.
    draw_paused_frame(frame);
    rest(PAUSE_POLL_MS);
    look_for_presses();
    if (pressed_on_screen(KEY_ESC) || quit_signalled) {
      go_on = false;
      break;
    }
    if (pressed_on_screen(KEY_P) && p_goes_on)
      break;
  }
  tick_count = 0;  // the world stood still: no tick is kept for later
  return go_on;
}
