// The editor's loop: keys in, the level and the panel drawn again after
// each, until the author leaves.
#include "editor/editor.h"
#include "editor/session.h"
#include "game/quit_signal.h"
#include "base/base.h"

#include <alleggl.h>
#include <cstdio>

namespace {

constexpr int POLL_MS = 20;  // how often the loop looks for keys

editor_session session;

// One frame: the view, the panel over it, shown.
void draw_editor_frame()
{
  allegro_gl_begin();
  draw_editor_view(session.model, session.camera);
  draw_panel(session);
  allegro_gl_flip();
  allegro_gl_end();
}

}  // namespace

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
      answer_key(session, readkey(), key_shifts);
      changed = true;
    }
    // The name being typed has a blinking cursor: drawn at every look.
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
