// Pausing a game: the last frame is read back once and shown again, with the
// word "PAUSED" in the game's vector font over a darkened band.
#include "game/pause.h"
#include "assets/asset_files.h"
#include "font/font.h"
#include "game/graphics_mode.h"
#include "game/quit_signal.h"
#include "render/render.h"
#include "world/world.h"

#include <alleggl.h>
#include <cstdio>
#include <vector>

namespace {

// Sizes in pixels of the 640 x 480 picture, scaled with it.
constexpr float BANNER_HALF_HEIGHT = 40.0f;   // above and below the centre line
constexpr float BANNER_SHADE = 0.55f;         // how much the band darkens the picture
constexpr float LETTER_SCALE = 28.0f;         // per unit of the font's -1..1 symbols
constexpr int PAUSE_POLL_MS = 40;             // how often the pause looks at the keys

int pause_font = -1;

// A frame as it was drawn: its size in pixels and its RGBA bytes, bottom row first.
struct frozen_frame {
  int width, height;
  std::vector<unsigned char> pixels;
};

// The picture drawn but not yet shown (in the back buffer).
frozen_frame read_drawn_frame()
{
  screen_area area = picture_area;
  frozen_frame frame = {area.width, area.height, {}};
  frame.pixels.resize((size_t)area.width * area.height * 4);
  allegro_gl_begin();
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(area.x, area.y, area.width, area.height, GL_RGBA, GL_UNSIGNED_BYTE, frame.pixels.data());
  allegro_gl_end();
  return frame;
}

// The presses a pause answers, read from the key buffer, which is left empty.
struct pause_keys {
  bool p, escape;
};

pause_keys read_pressed_keys()
{
  pause_keys pressed = {false, false};
  while (keypressed()) {
    int scancode = readkey() >> 8;
    pressed.p = pressed.p || scancode == KEY_P;
    pressed.escape = pressed.escape || scancode == KEY_ESC;
  }
  return pressed;
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

// The frozen frame, the band and the word, in the 640 x 480 picture's pixels
// scaled into picture_area (the frame stretched to it, should the window have
// changed size since); every GL setting the scene relies on is put back
// afterwards.
void draw_paused_frame(const frozen_frame &frame)
{
  allegro_gl_begin();
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glClear(GL_COLOR_BUFFER_BIT);  // the bars, wherever the window now has them
  use_picture_area();
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
  glPixelZoom((float)picture_area.width / (float)frame.width,
              (float)picture_area.height / (float)frame.height);
  glDrawPixels(frame.width, frame.height, GL_RGBA, GL_UNSIGNED_BYTE, frame.pixels.data());
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
  return read_pressed_keys().p;
}

bool pause_game(bool p_goes_on)
{
  frozen_frame frame = read_drawn_frame();
  bool go_on = true;
  for (;;) {
    // Drawn again at every look, so a window that was covered shows it again,
    // and one that changed size shows it fitted anew.
    follow_window_size();
    draw_paused_frame(frame);
    rest(PAUSE_POLL_MS);
    pause_keys pressed = read_pressed_keys();
    if (pressed.escape || key[KEY_ESC] || quit_signalled) {
      go_on = false;
      break;
    }
    if (pressed.p && p_goes_on)
      break;
  }
  tick_count = 0;  // the world stood still: no tick is kept for later
  return go_on;
}
