// The game's flow around play: pictures, a game, the level loop and its tick.
#include "game/flow.h"
#include "assets/asset_files.h"
#include "base/base.h"
#include "game/graphics_mode.h"
#include "game/pause.h"
#include "game/play_messages.h"
#include "game/quit_signal.h"
#include "game/screen_keys.h"
#include "replay/replay.h"
#include "game/screenshot.h"
#include "render/picture_file.h"
#include "render/render.h"
#include "world/game_rules.h"
#include "world/map_load.h"
#include "world/update.h"
#include "world/world.h"

#include <alleggl.h>
#include <chrono>
#include <cstdio>

namespace {

// The picture on screen, to be drawn again when the window changes size:
// from show_picture until the next picture or a blank screen.
struct shown_picture {
  BITMAP *picture;
  int x, y, clear_first;
};
shown_picture on_screen = {nullptr, 0, 0, 0};

}  // namespace

BITMAP *load_screen_picture(const char *path)
{
  return screen_route_taken() == ROUTE_DESIGNED ? load_picture(path) : load_working_image(path);
}

void show_picture(BITMAP *picture, int x, int y, int clear_first)
{
  on_screen = {picture, x, y, clear_first};
  allegro_gl_begin();
  if (screen_route_taken() == ROUTE_DESIGNED) {
    if (clear_first)
      glClear(GL_COLOR_BUFFER_BIT);
    if (picture) {
      allegro_gl_set_allegro_mode();
      draw_sprite(screen, picture, x, y);
      allegro_gl_unset_allegro_mode();
    }
  } else {
    // Always on a cleared window: the bars must be black, and every picture
    // the game shows covers its area or is shown on a cleared screen anyway.
    glClear(GL_COLOR_BUFFER_BIT);
    if (picture)
      draw_picture_scaled(picture, x, y);
  }
  allegro_gl_flip();
  allegro_gl_end();
  // Allegro drawing switched these off; the 3D scene needs them again.
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
}

void redraw_picture_after_resize()
{
  if (follow_window_size() && on_screen.picture)
    show_picture(on_screen.picture, on_screen.x, on_screen.y, on_screen.clear_first);
}

void blank_screen()
{
  on_screen.picture = nullptr;
  allegro_gl_begin();
  glClear(GL_COLOR_BUFFER_BIT);
  allegro_gl_flip();
  allegro_gl_end();
}

void tick_callback()
{
  tick_count++;
}

namespace {

using steady = std::chrono::steady_clock;

// After a frame the loop sleeps until this long before the next tick is due,
// and only then polls for it every millisecond: waking a thousand times a
// second for nothing costs more than the frames on a slow machine.
constexpr int POLL_LEAD_MS = 2;

// Sleeps until shortly before the tick after the one seen at seen.
void sleep_until_next_tick(steady::time_point seen)
{
  auto wake = seen + std::chrono::milliseconds(TICK_MS - POLL_LEAD_MS);
  long left = (long)std::chrono::duration_cast<std::chrono::milliseconds>(wake - steady::now()).count();
  if (left > 0)
    rest((unsigned int)left);
}

// The picture of a game's end, lost or won, at (x, y) on a cleared screen
// until a key is pressed on it.
void show_end_picture(picture_file which, int x, int y)
{
  blank_screen();
  BITMAP *picture = load_screen_picture(PICTURE_FILES[which]);
  show_picture(picture, x, y, 1);
  begin_screen_keys();
  wait_for_press(redraw_picture_after_resize);
  if (picture)
    destroy_bitmap(picture);
}

}  // namespace

void level_loop()
{
  while (!quit_request) {
    if (handle_level_completion())
      announce_level();
    if (tick_count != 0) {
      steady::time_point seen = steady::now();
      // Takes the keys as they are now for the whole tick. From the first
      // call on, Allegro changes key[] only here (and in keypressed and
      // readkey), not from its input thread at any moment: the update reads
      // one state of the keys, and a recording notes that same state.
      poll_keyboard();
      keys_for_update();
      world_update();
      tick_count = 0;  // ticks that piled up while drawing are dropped
      follow_window_size();
      render_frame();
      draw_play_messages();
      // A replay answers only ESC, and stays on its last frame when it is
      // over (unless that ended the game).
      bool replay_ended = replay_over() && !no_lives_left();
      if (replay_ended || (!replaying() && pause_key_pressed())) {
        if (!pause_game(!replaying()))
          quit_request = 1;  // ESC while paused
      } else {
        allegro_gl_begin();
        allegro_gl_flip();
        allegro_gl_end();
      }
      sleep_until_next_tick(seen);
    } else {
      rest(1);  // nothing to do until the next tick: give the core up
    }
    if (key[KEY_ESC] || quit_signalled)
      quit_request = 1;
    if (no_lives_left())
      quit_request = 1;
  }
  quit_request = 0;
  if (quit_signalled)
    return;
  if (no_lives_left())
    show_end_picture(PICTURE_GAME_OVER, GAME_OVER_X, GAME_OVER_Y);
  else if (campaign_complete())
    show_end_picture(PICTURE_CAMPAIGN_COMPLETE, CAMPAIGN_COMPLETE_X, CAMPAIGN_COMPLETE_Y);
}

void play_game()
{
  blank_screen();
  start_new_game();
  // Without a first map there is nothing to play: back to the title at once.
  if (!load_current_level()) {
    if (map_load_missing())
      report_problem("cannot find " + printable(current_map_path()) + "; no game to play");
    else
      report_unreadable_map("no game to play");
    clear_keybuf();
    return;
  }
  play_loaded_game();
}

void play_loaded_game()
{
  allow_screenshot_warning();
  announce_level();
  begin_screen_keys();
  begin_recorded_game();
  install_int(tick_callback, TICK_MS);
  tick_count = 1;  // the first frame at once, not one tick after SPACE
  level_loop();
  remove_int(tick_callback);
  end_recorded_game();
  clear_keybuf();
  blank_screen();
}
