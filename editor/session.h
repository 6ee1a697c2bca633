// One editing session: the level file, its model, the camera, and what the
// screen shows besides the level. Shared by the editor's parts; internal to
// the editor.
#pragma once

#include "editor/edit_model.h"
#include "editor/edit_view.h"

#include <string>
#include <vector>

// What the keys do at the moment: edit, or answer one of the screens that
// take them for a while.
enum class editor_mode {
  editing,
  naming,   // a new name is typed
  help,     // every key on screen; any key goes back
  leaving,  // unsaved changes: leave without them, save, or stay
};

struct editor_session {
  std::string path;  // the level file
  bool new_file = false;  // no file holds the level yet
  edit_model model;
  editor_camera camera;
  // The file's own mistakes as it was read ("file:line:column: ..."), shown
  // until the level is saved, which writes it anew.
  std::vector<std::string> file_messages;
  std::string note;  // what the last key did, or why it did nothing
  editor_mode mode = editor_mode::editing;
  std::string typed_name;
  bool done = false;  // the author has left
};

// ---- editor/level_file.cpp ----------------------------------------------------

// Reads the level file at path into the session, before any window opens:
// a missing file starts a new level named after it. False, with error set
// to why, when the file cannot be read (not a regular file, over
// MAX_LEVEL_TEXT_BYTES, not text).
bool open_level_file(const std::string &path, editor_session &session, std::string &error);
// The level as text, with the symbols and comments of the legend it was
// read with wherever its kinds and heights are still used.
std::string level_text(const level_data &level);
// Saves the level (and, when a play-test proved the level as it is, its
// solution beside it), each file replaced whole; the note says how it went.
void save_level(editor_session &session);
// When the editor must end with changes unsaved (a quit signal, which
// cannot be asked), writes the level beside its file as FILE.unsaved and
// says so on stderr; the file itself is left as it was.
void keep_unsaved_level(const editor_session &session);

// ---- editor/play_test.cpp -----------------------------------------------------

// Plays the level in memory through the game's own level loop from its
// start; keeps the keys of a play that completes it as its solution.
void play_test(editor_session &session);

// ---- editor/editor.cpp -----------------------------------------------------------

// readkey's value: the scancode in the high byte, the character in the low.
constexpr int KEY_SCANCODE_SHIFT = 8;
constexpr int KEY_CHARACTER_MASK = 0xff;
// The keys held now do nothing in the editor (their repeats neither) until
// they are let go: a play-test ends with the player's keys down.
void ignore_keys_held_now();

// ---- editor/edit_keys.cpp -----------------------------------------------------

// Answers one key press (readkey's value) with the modifier keys held
// (Allegro's key_shifts).
void answer_key(editor_session &session, int pressed, int shifts);
// The help page: every editor key and what it does, a line each.
std::vector<std::string> help_lines();

// ---- editor/panel.cpp ---------------------------------------------------------

// Loads the font the panel is written in; false when it cannot.
bool load_panel_font();
// Draws the panel over the bottom of the view: the status lines, the note
// or the name being typed, and the messages (the file's, then the
// checker's); or the help page, or the question before leaving.
void draw_panel(const editor_session &session);
// Unloads the panel's font.
void unload_panel_font();
