#include "editor/session.h"
void save_level(editor_session &s) { s.note = "save: pending"; }
void play_test(editor_session &s) { s.note = "play: pending"; }
