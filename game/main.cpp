// pilko: start-up, the logo, the title loop and shutdown.
#include "assets/asset_files.h"
#include "font/font.h"
#include "game/flow.h"
#include "game/screenshot.h"
#include "game/sound.h"
#include "render/render.h"
#include "world/update.h"
#include "world/world.h"

#include <alleggl.h>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <unistd.h>

namespace {

// Files without which there is no game to play.
const char *const required_files[] = {"maps/map1.map", HUD_FONT_FILE};

// Ends the run with one clear line when a file the game needs is not in the
// working directory; the usual cause is starting pilko from the wrong folder.
void require_data_files()
{
  for (const char *path : required_files) {
    if (exists(path))
      continue;
    char folder[PATH_MAX];
    if (!getcwd(folder, sizeof folder))
      std::snprintf(folder, sizeof folder, "(unknown)");
    std::fprintf(stderr, "pilko: cannot find %s in %s; start pilko from its data folder\n",
                 path, folder);
    std::exit(1);
  }
}

// Asks AllegroGL for the full-screen mode at colour depths 16, 24, 32 and 15
// in turn; ends the program when none works.
void set_graphics_mode()
{
  allegro_gl_clear_settings();
  allegro_gl_set(AGL_COLOR_DEPTH, 16);
  allegro_gl_set(AGL_Z_DEPTH, 16);
  allegro_gl_set(AGL_DOUBLEBUFFER, 1);
  allegro_gl_set(AGL_RENDERMETHOD, 1);
  allegro_gl_set(AGL_SUGGEST, AGL_Z_DEPTH | AGL_DOUBLEBUFFER | AGL_RENDERMETHOD);
  set_color_depth(16);
  if (set_gfx_mode(GFX_OPENGL_FULLSCREEN, screen_width, screen_height, 0, 0) >= 0)
    return;
  for (int depth : {24, 32, 15}) {
    set_color_depth(depth);
    allegro_gl_set(AGL_COLOR_DEPTH, depth);
    allegro_gl_set(AGL_SUGGEST, AGL_Z_DEPTH | AGL_DOUBLEBUFFER);
    if (set_gfx_mode(GFX_OPENGL_FULLSCREEN, screen_width, screen_height, 0, 0) >= 0)
      return;
  }
  set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
  allegro_message("Error setting graphics mode:\n%s\n", allegro_error);
  std::exit(1);
}

// The title picture until ESC is held at a key press; SPACE plays a game.
void title_loop(BITMAP *title)
{
  int leave_title = 0;
  while (!leave_title) {
    show_picture(title, 0, 0, 0);
    readkey();
    if (key[KEY_ESC])
      leave_title = 1;
    if (key[KEY_SPACE])
      play_game();
  }
}

}  // namespace

int main()
{
  if (allegro_init() != 0) {
    std::fprintf(stderr, "pilko: cannot open a display (is DISPLAY set to a running X server?)\n");
    return 1;
  }
  require_data_files();
  install_allegro_gl();
  font_init();
  set_window_title("pilko");
  set_graphics_mode();

  install_keyboard();
  install_timer();
  install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, nullptr);
  set_volume(255, 128);

  hud_font = bitmap_font_load(HUD_FONT_FILE);
  if (hud_font < 0) {
    std::fprintf(stderr, "pilko: %s is not a font pilko can read\n", HUD_FONT_FILE);
    return 1;
  }
  bitmap_font_set_current(hud_font);
  setup_scene();
  load_texture_set();
  build_display_lists();
  screenshot_hook = save_screenshot;

  BITMAP *logo = load_picture(PICTURE_FILES[PICTURE_LOGO]);
  show_picture(logo, 0, 0, 0);
  start_music();
  readkey();
  if (logo)
    destroy_bitmap(logo);

  BITMAP *title = load_picture(PICTURE_FILES[PICTURE_TITLE]);
  load_effects();

  title_loop(title);

  release_sounds();
  if (title)
    destroy_bitmap(title);
  return 0;
}
END_OF_MAIN()
