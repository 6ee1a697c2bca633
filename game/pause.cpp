// Pausing a game: the last frame is read back once and shown again, with the
// word "PAUSED" in the game's vector font over a darkened band.
#include "game/pause.h"
#include "game/overlay_text.h"
#include "game/quit_signal.h"
#include "game/screen_keys.h"
#include "world/world.h"

#include <alleggl.h>
#include <vector>

namespace {

constexpr float BANNER_HALF_HEIGHT = 40.0f;   // pixels above and below the centre line
constexpr float BANNER_SHADE = 0.55f;         // how much the band darkens the picture
constexpr float LETTER_SCALE = 28.0f;         // pixels per unit of the font's -1..1 symbols
constexpr int PAUSE_POLL_MS = 40;             // how often the pause looks at the keys

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

// The frozen frame, the band and the word, in pixel coordinates; every GL
// setting the scene relies on is put back afterwards.
void draw_paused_frame(const std::vector<unsigned char> &frame)
{
  allegro_gl_begin();
  begin_overlay();
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glRasterPos2i(0, 0);
  glDrawPixels(screen_width, screen_height, GL_RGBA, GL_UNSIGNED_BYTE, frame.data());
  draw_shaded_band(screen_height / 2.0f, BANNER_HALF_HEIGHT, BANNER_SHADE, 1.0f);
  draw_centred_words("PAUSED", screen_width / 2.0f, screen_height / 2.0f, LETTER_SCALE, OVERLAY_GOLD,
                     1.0f);
  end_overlay();
  allegro_gl_flip();
  allegro_gl_end();
}

}  // namespace

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
