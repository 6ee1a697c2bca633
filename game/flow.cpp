// The game's flow around play: pictures, a game, the level loop and its tick.
#include "game/flow.h"
#include "assets/asset_files.h"
#include "game/map_load.h"
#include "game/sound.h"
#include "game/update.h"
#include "game/world.h"
#include "render/render.h"

#include <alleggl.h>
#include <cstdio>

void show_picture(BITMAP *picture, int x, int y, int clear_first)
{
  allegro_gl_begin();
  if (clear_first)
    glClear(GL_COLOR_BUFFER_BIT);
  if (picture) {
    allegro_gl_set_allegro_mode();
    draw_sprite(screen, picture, x, y);
    allegro_gl_unset_allegro_mode();
  }
  allegro_gl_flip();
  allegro_gl_end();
  // Allegro drawing switched these off; the 3D scene needs them again.
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
}

void blank_screen()
{
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

// Loads the map of level_number; 0 when there is none to play.
int load_current_level()
{
  std::snprintf(map_path, sizeof map_path, "maps/map%d.map", level_number);
  return load_map(map_path);
}

// Level completion: starts the level-complete sequence once all drops are
// collected, and moves on to the next map when the renderer has ended it.
void handle_level_completion()
{
  if (drops_left != 0)
    return;
  if (level_phase == 0) {
    level_phase = 1;
    end_zoom = 0.0f;
    end_spin = 0.0f;
    play_effect(snd_end);
  }
  if (level_phase == -1) {
    level_number++;
    reset_world();
    if (!load_current_level())
      quit_request = 1;  // no next map: the game is won, back to the title
    level_phase = 0;
  }
}

// The game-over picture on a cleared screen until a fresh key press.
void show_game_over()
{
  blank_screen();
  const char *path = PICTURE_FILES[PICTURE_GAME_OVER];
  BITMAP *picture = load_bitmap(path, nullptr);
  if (!picture)
    std::fprintf(stderr, "pilko: warning: cannot load %s; playing on without it\n", path);
  show_picture(picture, 161, 213, 1);
  clear_keybuf();
  readkey();
  if (picture)
    destroy_bitmap(picture);
}

}  // namespace

void level_loop()
{
  while (!quit_request) {
    handle_level_completion();
    if (tick_count != 0) {
      world_update();
      tick_count = 0;  // ticks that piled up while drawing are dropped
      render_frame();
      allegro_gl_begin();
      allegro_gl_flip();
      allegro_gl_end();
    } else {
      rest(1);  // nothing to do until the next tick: give the core up
    }
    if (key[KEY_ESC])
      quit_request = 1;
    if (lives == 0)
      quit_request = 1;
  }
  quit_request = 0;
  if (lives == 0)
    show_game_over();
}

void play_game()
{
  blank_screen();
  reset_world();
  current_camera = &camera_presets[1];
  level_number = 1;
  lives = 3;
  // Without a first map there is nothing to play: back to the title at once.
  if (!load_current_level()) {
    std::fprintf(stderr, "pilko: cannot open %s; no game to play\n", map_path);
    clear_keybuf();
    return;
  }
  clear_keybuf();
  install_int(tick_callback, 40);
  level_loop();
  remove_int(tick_callback);
  clear_keybuf();
  blank_screen();
}
