// The editor's loop: keys in, the level and the panel drawn again after
// each, until the author leaves.
#include "editor/editor.h"
#include "editor/session.h"
#include "game/graphics_mode.h"
#include "game/quit_signal.h"
#include "render/render.h"
#include "base/base.h"

#include <alleggl.h>
#include <cstdio>

namespace {

constexpr int POLL_MS = 20;  // how often the loop looks for keys

editor_session session;

// Keys held down when a play-test ended: their repeats belong to the play,
// not to the editor, until they are let go.
bool held_from_play[KEY_MAX];

// Forgets the keys of the play that have been let go; true when the key of
// this scancode is still one of them.
bool still_held_from_play(int scancode)
{
  for (int k = 0; k < KEY_MAX; k++)
    held_from_play[k] = held_from_play[k] && key[k];
  return scancode > 0 && scancode < KEY_MAX && held_from_play[scancode];
}

// One frame: the view, the panel over it, shown.
void draw_editor_frame()
{
  allegro_gl_begin();
  use_picture_area();
  draw_editor_view(session.model, session.camera);
  draw_panel(session);
  allegro_gl_flip();
  allegro_gl_end();
}

}  // namespace

void ignore_keys_held_now()
{
  for (int k = 0; k < KEY_MAX; k++)
    held_from_play[k] = key[k];
}

bool open_level_for_editing(const char *path)
{
  std::string error;
  if (open_level_file(path, session, error))
    return true;
  std::fprintf(stderr, "pilko: %s: %s\n", printable(path).c_str(), error.c_str());
  return false;
}

void run_editor()
{
  if (!load_panel_font())
    std::fprintf(stderr, "pilko: warning: cannot load the panel's font; the editor shows no words\n");
  session.camera = default_camera();
  show_level(session.model.level);
  clear_keybuf();
  bool changed = true;
  while (!session.done && !quit_signalled) {
    while (keypressed() && !session.done) {
      int pressed = readkey();
      if (!still_held_from_play(pressed >> KEY_SCANCODE_SHIFT))
        answer_key(session, pressed, key_shifts);
      changed = true;
    }
    // The name being typed has a blinking cursor: drawn at every look; and a
    // window that changed size is drawn fitted anew.
    if (follow_window_size())
      changed = true;
    if (changed || session.mode == editor_mode::naming) {
      show_level(session.model.level);
      draw_editor_frame();
      changed = false;
    }
    rest(POLL_MS);
  }
  if (quit_signalled)
    keep_unsaved_level(session);
  unload_panel_font();
}
