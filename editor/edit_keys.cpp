// The editor's keys: one table of every key, what it does and how the help
// page names it, and the few screens that take the keys for a while (a name
// being typed, the help page, the question before leaving).
#include "editor/session.h"

#include <allegro.h>

namespace {

constexpr int ORBIT_STEP = 15;  // degrees the view turns a press
constexpr int TILT_STEP = 5;       // degrees it tilts a press
constexpr int FIRST_PRINTABLE = 32, LAST_PRINTABLE = 126;


enum modifier { PLAIN, SHIFT, CTRL };

struct editor_key {
  int scancode;
  modifier held;
  const char *keys;  // as the help page names it; null when the line before names it too
  const char *what;
  void (*act)(editor_session &session);
};

// Moves the cursor a step as the view looks, growing the selection with extend.
void step_cursor(editor_session &s, int forward, int left, bool extend)
{
  grid_point step = view_step(s.camera, forward, left);
  move_cursor(s.model, step.x, step.y, extend);
}

// Looks through the game's preset, or the editing camera again.
void use_preset(editor_session &s, int preset)
{
  s.camera.preset = preset;
  s.note = preset == EDITING_CAMERA ? "the editing camera" : "the game's camera " + std::to_string(preset + 1) +
                                                                 ", the hero on the cursor";
}

// Lets the author type a new name, starting from the old one.
void start_naming(editor_session &s)
{
  s.mode = editor_mode::naming;
  s.typed_name = s.model.level.name.substr(0, MAX_LEVEL_NAME);
}

// ESC: the selection goes first; then the editor, asking when work is unsaved.
void escape(editor_session &s)
{
  if (clear_selection(s.model))
    s.note = "the selection is dropped";
  else if (unsaved_changes(s.model))
    s.mode = editor_mode::leaving;
  else
    s.done = true;
}

const editor_key editor_keys[] = {
    {KEY_UP, PLAIN, "Arrows", "move the cursor, as the view looks", [](editor_session &s) { step_cursor(s, 1, 0, false); }},
    {KEY_DOWN, PLAIN, nullptr, nullptr, [](editor_session &s) { step_cursor(s, -1, 0, false); }},
    {KEY_LEFT, PLAIN, nullptr, nullptr, [](editor_session &s) { step_cursor(s, 0, 1, false); }},
    {KEY_RIGHT, PLAIN, nullptr, nullptr, [](editor_session &s) { step_cursor(s, 0, -1, false); }},
    {KEY_UP, SHIFT, "Shift+Arrows", "select a rectangle: changes apply to all of it",
     [](editor_session &s) { step_cursor(s, 1, 0, true); }},
    {KEY_DOWN, SHIFT, nullptr, nullptr, [](editor_session &s) { step_cursor(s, -1, 0, true); }},
    {KEY_LEFT, SHIFT, nullptr, nullptr, [](editor_session &s) { step_cursor(s, 0, 1, true); }},
    {KEY_RIGHT, SHIFT, nullptr, nullptr, [](editor_session &s) { step_cursor(s, 0, -1, true); }},
    {KEY_LEFT, CTRL, "Ctrl+Left, Ctrl+Right", "turn the view about the cursor",
     [](editor_session &s) { orbit_camera(s.camera, -ORBIT_STEP); }},
    {KEY_RIGHT, CTRL, nullptr, nullptr, [](editor_session &s) { orbit_camera(s.camera, ORBIT_STEP); }},
    {KEY_UP, CTRL, "Ctrl+Up, Ctrl+Down", "look down more, or less",
     [](editor_session &s) { tilt_camera(s.camera, TILT_STEP); }},
    {KEY_DOWN, CTRL, nullptr, nullptr, [](editor_session &s) { tilt_camera(s.camera, -TILT_STEP); }},
    {KEY_EQUALS, PLAIN, "+, -", "come closer, go further", [](editor_session &s) { zoom_camera(s.camera, true); }},
    {KEY_PLUS_PAD, PLAIN, nullptr, nullptr, [](editor_session &s) { zoom_camera(s.camera, true); }},
    {KEY_MINUS, PLAIN, nullptr, nullptr, [](editor_session &s) { zoom_camera(s.camera, false); }},
    {KEY_MINUS_PAD, PLAIN, nullptr, nullptr, [](editor_session &s) { zoom_camera(s.camera, false); }},
    {KEY_1, PLAIN, "1, 2, 3, 4", "the game's cameras, as if the hero stood on the cursor",
     [](editor_session &s) { use_preset(s, 0); }},
    {KEY_2, PLAIN, nullptr, nullptr, [](editor_session &s) { use_preset(s, 1); }},
    {KEY_3, PLAIN, nullptr, nullptr, [](editor_session &s) { use_preset(s, 2); }},
    {KEY_4, PLAIN, nullptr, nullptr, [](editor_session &s) { use_preset(s, 3); }},
    {KEY_0, PLAIN, "0", "the editing camera again", [](editor_session &s) { use_preset(s, EDITING_CAMERA); }},
    {KEY_K, PLAIN, "K, Shift+K", "the next or the last kind: grass, stone, hero, metal, lava, enemy",
     [](editor_session &s) { s.note = step_kind(s.model, 1); }},
    {KEY_K, SHIFT, nullptr, nullptr, [](editor_session &s) { s.note = step_kind(s.model, -1); }},
    {KEY_PGUP, PLAIN, "PgUp, PgDn", "raise or lower by 0.1",
     [](editor_session &s) { s.note = step_height(s.model, SMALL_HEIGHT_STEP); }},
    {KEY_PGDN, PLAIN, nullptr, nullptr, [](editor_session &s) { s.note = step_height(s.model, -SMALL_HEIGHT_STEP); }},
    {KEY_PGUP, SHIFT, "Shift+PgUp, Shift+PgDn", "raise or lower by 0.5",
     [](editor_session &s) { s.note = step_height(s.model, LARGE_HEIGHT_STEP); }},
    {KEY_PGDN, SHIFT, nullptr, nullptr, [](editor_session &s) { s.note = step_height(s.model, -LARGE_HEIGHT_STEP); }},
    {KEY_D, PLAIN, "D", "put a drop, or take it", [](editor_session &s) { s.note = toggle_drops(s.model); }},
    {KEY_S, PLAIN, "S", "start the hero on the cursor", [](editor_session &s) { s.note = place_start(s.model); }},
    {KEY_E, PLAIN, "E", "add an enemy on the cursor (at most 10)", [](editor_session &s) { s.note = add_enemy(s.model); }},
    {KEY_R, PLAIN, "R", "turn the enemy on the cursor to its left", [](editor_session &s) { s.note = turn_enemy(s.model); }},
    {KEY_DEL, PLAIN, "Delete", "remove the enemy on the cursor", [](editor_session &s) { s.note = remove_enemy(s.model); }},
    {KEY_N, PLAIN, "N", "rename the level (type, then Enter)", start_naming},
    {KEY_Z, CTRL, "Ctrl+Z, Ctrl+Y", "undo, redo", [](editor_session &s) { s.note = undo(s.model); }},
    {KEY_Y, CTRL, nullptr, nullptr, [](editor_session &s) { s.note = redo(s.model); }},
    {KEY_P, PLAIN, "P", "play-test from the start; ESC or the level's end comes back here", play_test},
    {KEY_S, CTRL, "Ctrl+S", "save the level, and the keys of a play-test that completed it", save_level},
    {KEY_H, PLAIN, "H, F1", "this page", [](editor_session &s) { s.mode = editor_mode::help; }},
    {KEY_F1, PLAIN, nullptr, nullptr, [](editor_session &s) { s.mode = editor_mode::help; }},
    {KEY_ESC, PLAIN, "ESC", "drop the selection; else leave (asks first if unsaved)", escape},
};

// The table's entry for a key with its modifier, or null.
const editor_key *find_key(int scancode, modifier held)
{
  for (const editor_key &k : editor_keys)
    if (k.scancode == scancode && k.held == held)
      return &k;
  // A key that means nothing else with Shift means what it means without.
  return held == SHIFT ? find_key(scancode, PLAIN) : nullptr;
}

// A key while a name is typed: Enter keeps it, ESC drops it, Backspace rubs out.
void answer_naming(editor_session &s, int scancode, int character)
{
  if (scancode == KEY_ENTER || scancode == KEY_ENTER_PAD) {
    s.note = rename_level(s.model, s.typed_name);
    s.mode = editor_mode::editing;
  } else if (scancode == KEY_ESC) {
    s.note = "the name stays " + s.model.level.name;
    s.mode = editor_mode::editing;
  } else if (scancode == KEY_BACKSPACE && !s.typed_name.empty()) {
    s.typed_name.pop_back();
  } else if (character >= FIRST_PRINTABLE && character <= LAST_PRINTABLE && s.typed_name.size() < MAX_LEVEL_NAME) {
    s.typed_name += (char)character;
  }
}

// A key at the question before leaving with changes unsaved.
void answer_leaving(editor_session &s, int scancode, modifier held)
{
  s.mode = editor_mode::editing;
  if (scancode == KEY_Y && held == PLAIN) {
    s.done = true;
  } else if (scancode == KEY_S && held == CTRL) {
    save_level(s);
    s.done = !unsaved_changes(s.model);
  } else {
    s.note = "still editing";
  }
}

}  // namespace

void answer_key(editor_session &session, int pressed, int shifts)
{
  int scancode = pressed >> KEY_SCANCODE_SHIFT, character = pressed & KEY_CHARACTER_MASK;
  modifier held = shifts & KB_CTRL_FLAG ? CTRL : shifts & KB_SHIFT_FLAG ? SHIFT : PLAIN;
  switch (session.mode) {
  case editor_mode::naming:
    answer_naming(session, scancode, character);
    return;
  case editor_mode::help:
    session.mode = editor_mode::editing;
    return;
  case editor_mode::leaving:
    answer_leaving(session, scancode, held);
    return;
  case editor_mode::editing:
    break;
  }
  const editor_key *k = find_key(scancode, held);
  if (k)
    k->act(session);
  else
    session.note = "that key does nothing here: H shows the keys";
}

std::vector<std::string> help_lines()
{
  std::vector<std::string> lines;
  for (const editor_key &k : editor_keys)
    if (k.keys)
      lines.push_back(std::string(k.keys) + ": " + k.what);
  return lines;
}
