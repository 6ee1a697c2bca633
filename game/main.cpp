// pilko: start-up, the logo, the title loop and shutdown.
#include "assets/asset_files.h"
#include "base/base.h"
#include "editor/editor.h"
#include "font/font.h"
#include "game/flow.h"
#include "game/graphics_mode.h"
#include "game/level_choice.h"
#include "game/options.h"
#include "game/overlay_text.h"
#include "game/play_messages.h"
#include "replay/replay.h"
#include "game/quit_signal.h"
#include "game/screen_keys.h"
#include "game/screenshot.h"
#include "game/sound.h"
#include "render/render.h"
#include "world/update.h"
#include "world/world.h"

#include <X11/Xlib.h>
#include <alleggl.h>
#include <xalleg.h>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// The window icon, drawn by tools/icon-maker: static const char *pilko_icon_xpm[].
#include "pilko_icon.xpm"

// The icon Allegro's X port gives the windows it makes; liballeg's own
// variable, which no header declares.
extern "C" void *allegro_icon;

namespace {

// The window class, which the menu entry names as its StartupWMClass, so
// that the desktop shows the game's window as pilko's.
const char WINDOW_CLASS[] = "pilko";

// Gives the game's windows their class and icon. Allegro's X port makes its
// first window in allegro_init, so this comes before.
void name_the_windows()
{
  allegro_icon = const_cast<char **>(pilko_icon_xpm);
  xwin_set_window_name(WINDOW_CLASS, WINDOW_CLASS);
}

// Set by the installed pilko command when it has just made the player's
// folder: the first level banner then says where screenshots go, for a
// player who started from the menu and never saw the command's note.
const char FIRST_START_VARIABLE[] = "PILKO_FIRST_START";

// Files without which there is no game to play.
const char *const required_files[] = {"maps/map1.map", HUD_FONT_FILE};

// Ends the run with one clear line when a file the game needs is not in the
// working directory; the usual cause is starting pilko from the wrong folder,
// else a file where one of its folders belongs (a stray "maps" file in the
// player's folder). Anything of that name counts as there: a map that is
// there but cannot be read is named with its reason when a game starts.
void require_data_files()
{
  for (const char *path : required_files) {
    struct stat status;
    if (stat(path, &status) == 0)
      continue;
    std::string cure = "start pilko from its data folder";
    if (errno == ENOTDIR) {
      std::string part(path, std::strchr(path, '/'));
      cure = part + " there is a file, not a folder: move it away";
    }
    char folder[PATH_MAX];
    if (!getcwd(folder, sizeof folder))
      std::snprintf(folder, sizeof folder, "(unknown)");
    report_problem(std::string("cannot find ") + path + " in " + printable(folder) + "; " + cure);
    std::exit(1);
  }
}

// The game reads keys, never composed text, yet Xlib reads the locale's whole
// table of compose sequences when Allegro opens its keyboard: 12 ms of the
// start-up and half a megabyte, here. An empty table spares both.
void skip_compose_table()
{
  setenv("XCOMPOSEFILE", "/dev/null", 1);
}

// Opens the full screen (or a window, with --window) in OpenGL; ends the
// program when no OpenGL mode works at all.
void set_graphics_mode()
{
  if (open_screen(choices.screen))
    return;
  set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
  show_message_until_quit(("Error setting graphics mode:\n" + std::string(allegro_error) + "\n").c_str());
  std::exit(1);
}

// Xlib's handler of a lost display exits through atexit, where Allegro waits
// for the X lock that its own event thread holds: the game would hang on.
// This one says what happened and ends the process at once.
int end_on_lost_display(Display *)
{
  static const char message[] = "pilko: lost the connection to the X server\n";
  ssize_t written = write(STDERR_FILENO, message, sizeof message - 1);
  (void)written;  // nothing more to do if stderr is gone too
  _exit(1);
}

// The title picture until ESC is pressed on it (or a quit signal comes);
// SPACE plays a game. A replay plays as soon as the title is first up.
void title_loop(BITMAP *title)
{
  int leave_title = 0;
  bool first_show = true;
  while (!leave_title) {
    show_picture(title, 0, 0, 0);
    begin_screen_keys();
    if (first_show) {
      // While the player reads the title: the first frame of a game then
      // comes as quickly as every other.
      prepare_frame_drawing();
      first_show = false;
      if (replaying()) {
        play_game();
        continue;
      }
    }
    if (!wait_for_press(redraw_picture_after_resize))
      break;
    if (pressed_on_screen(KEY_ESC))
      leave_title = 1;
    if (pressed_on_screen(KEY_SPACE))
      play_game();
    if (quit_signalled)
      leave_title = 1;
  }
}

}  // namespace

int main(int argc, char **argv)
{
  ignore_write_signals();
  int options_status = read_options(argc, argv);
  if (options_status != START_GAME)
    return options_status;
  if (choices.replay && !load_replay(choices.replay, &choices.level))
    return 1;
  if (choices.level && !choose_first_level(choices.level))
    return 1;
  if (choices.record && !start_recording(choices.record, choices.level))
    return 1;
  if (choices.edit && !open_level_for_editing(choices.edit))
    return 1;
  require_data_files();
  skip_compose_table();
  name_the_windows();
  if (allegro_init() != 0) {
    std::fprintf(stderr, "pilko: cannot open a display (is DISPLAY set to a running X server?)\n");
    return 1;
  }
  watch_quit_signals();
  install_allegro_gl();
  font_init();
  set_window_title("pilko");
  XSetIOErrorHandler(end_on_lost_display);
  set_graphics_mode();

  install_keyboard();
  install_timer();
  install_game_sound();

  hud_font = bitmap_font_load(HUD_FONT_FILE);
  if (hud_font < 0) {
    std::fprintf(stderr, "pilko: %s is not a font pilko can read\n", HUD_FONT_FILE);
    return 1;
  }
  bitmap_font_set_current(hud_font);
  load_overlay_font();
  if (std::getenv(FIRST_START_VARIABLE))
    tell_where_screenshots_go();
  setup_scene();
  load_texture_set();
  build_display_lists();
  screenshot_hook = save_screenshot;
  if (choices.edit) {
    load_effects();  // a play-test sounds as the game does
    run_editor();
    release_sounds();
    return 0;
  }

  BITMAP *logo = load_screen_picture(PICTURE_FILES[PICTURE_LOGO]);
  show_picture(logo, 0, 0, 0);
  begin_screen_keys();
  start_music();
  if (!replaying())  // a replay goes straight on to play
    wait_for_press(redraw_picture_after_resize);
  if (logo)
    destroy_bitmap(logo);

  BITMAP *title = load_screen_picture(PICTURE_FILES[PICTURE_TITLE]);
  load_effects();

  title_loop(title);

  release_sounds();
  if (title)
    destroy_bitmap(title);
  return 0;
}
END_OF_MAIN()
