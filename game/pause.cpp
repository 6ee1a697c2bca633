// Pausing a game: the last frame is read back once and shown again, with the
// word "PAUSED" in the game's vector font over a darkened band.
#include "game/pause.h"
#include "game/graphics_mode.h"
#include "game/overlay_text.h"
#include "game/quit_signal.h"
#include "game/screen_keys.h"
#include "render/render.h"
#include "world/world.h"

#include <alleggl.h>
#include <vector>

namespace {

// Sizes in pixels of the 640 x 480 picture, scaled with it.
constexpr float BANNER_HALF_HEIGHT = 40.0f;   // above and below the centre line
constexpr float BANNER_SHADE = 0.55f;         // how much the band darkens the picture
constexpr float LETTER_SCALE = 28.0f;         // per unit of the font's -1..1 symbols
constexpr int PAUSE_POLL_MS = 40;             // how often the pause looks at the keys

// A frame as it was drawn: its size in pixels and its RGBA bytes, bottom row first.
struct frozen_frame {
  int width, height;
  std::vector<unsigned char> pixels;
};

// The picture drawn but not yet shown (in the back buffer).
frozen_frame read_drawn_frame()
{
  frozen_frame frame = {picture_area.width, picture_area.height, {}};
  allegro_gl_begin();
  read_drawn_picture(GL_RGBA, frame.pixels);
  allegro_gl_end();
  return frame;
}

// The frozen frame, the band and the word, in the 640 x 480 picture's pixels
// scaled into picture_area (the frame stretched to it, should the window have
// changed size since); every GL setting the scene relies on is put back
// afterwards.
void draw_paused_frame(const frozen_frame &frame)
{
  allegro_gl_begin();
  glClear(GL_COLOR_BUFFER_BIT);  // the bars, wherever the window now has them
  begin_overlay();
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glRasterPos2i(0, 0);
  glPixelZoom((float)picture_area.width / (float)frame.width,
              (float)picture_area.height / (float)frame.height);
  glDrawPixels(frame.width, frame.height, GL_RGBA, GL_UNSIGNED_BYTE, frame.pixels.data());
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
  frozen_frame frame = read_drawn_frame();
  bool go_on = true;
  // The P that paused, still held, neither ends the pause nor pauses again.
  begin_screen_keys();
  for (;;) {
    // Drawn again at every look, so a window that was covered shows it again,
    // and one that changed size shows it fitted anew.
    follow_window_size();
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
