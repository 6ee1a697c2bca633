// The editing model: the level being edited, the cursor and the selection,
// undo and redo, and what the level checker says after every change. No
// Allegro and no OpenGL, so that its tests need no display. Internal to the
// editor (editor/editor.h is the library's interface).
#pragma once

#include "level/level.h"
#include "replay/replay.h"
#include "world/physics.h"

#include <deque>
#include <string>
#include <vector>

// Changes undo remembers; older ones are forgotten.
constexpr size_t MAX_UNDO_STEPS = 256;
// The longest name the editor lets an author type: it fits the status line.
constexpr size_t MAX_LEVEL_NAME = 48;
// Heights change by tenths: a small step and a large one.
constexpr int SMALL_HEIGHT_STEP = 1;
constexpr int LARGE_HEIGHT_STEP = 5;

// The cells an edit applies to: a rectangle, both corners included.
struct cell_rectangle {
  int min_x, min_y, max_x, max_y;
};

// The keys of a play-test that completed the level, and the map they
// completed: they prove the level as long as its map stays that map.
struct kept_solution {
  std::vector<key_run> runs;
  byte_buffer map;  // empty: no solution kept
};

struct edit_model {
  level_data level;
  grid_point cursor;
  bool selecting;    // a rectangle from anchor to cursor is selected
  grid_point anchor;
  std::deque<level_data> undo_steps;  // the level before each change, latest last
  std::deque<level_data> redo_steps;  // the level after each undone change
  level_data saved;                   // the level as the file holds it
  // The checker's findings on the level as it is now, refreshed after
  // every change; diagnostic cells name the places.
  diagnostics findings;
  level_summary summary;
  kept_solution solution;
};

// A new level: a room walled all round, a start cell and one drop ahead of it.
level_data new_level(const std::string &name);
// Starts editing level, as the file at hand holds it: no history, the cursor
// on the start cell, the checker run.
void start_editing(edit_model &model, const level_data &level);

// ---- The cursor and the selection ---------------------------------------------

// Moves the cursor by (dx, dy), staying on the grid. With extend the
// selection grows from where the cursor was; without, it is dropped.
void move_cursor(edit_model &model, int dx, int dy, bool extend);
// Drops the selection; false when there was none.
bool clear_selection(edit_model &model);
// The cells an edit applies to: the selection, or the cursor's cell alone.
cell_rectangle edit_targets(const edit_model &model);

// ---- Changes: each returns what it did, or why it did nothing -----------------
// A change that did something is one step of undo.

// Gives every target cell the kind after (step +1) or before (-1) the
// cursor cell's, among the six named kinds.
std::string step_kind(edit_model &model, int step);
// Gives every target cell the cursor cell's height moved by tenths to the
// next tenth above (or below) it; heights stay within HEIGHT_LIMIT.
std::string step_height(edit_model &model, int tenths);
// Puts a drop on every target cell, or takes them all when all have one.
std::string toggle_drops(edit_model &model);
// Moves the hero's start to the cursor.
std::string place_start(edit_model &model);
// Adds an enemy on the cursor cell, walking +x (at most MAX_ENEMIES).
std::string add_enemy(edit_model &model);
// Turns the enemy on the cursor cell a quarter to the left.
std::string turn_enemy(edit_model &model);
// Removes the enemy on the cursor cell.
std::string remove_enemy(edit_model &model);
// Renames the level (blanks around the name are dropped).
std::string rename_level(edit_model &model, const std::string &name);
// Takes back the last change, or makes the last one taken back again.
std::string undo(edit_model &model);
std::string redo(edit_model &model);

// ---- Questions ----------------------------------------------------------------

// The next tenth above (tenths > 0) or below (< 0) height, moved by tenths
// steps, within HEIGHT_LIMIT. A NaN height counts as 0.
float stepped_height(float height, int tenths);
// The enemy slot that starts on cell (x, y), the last one added there; -1
// for none.
int enemy_on(const level_data &level, int x, int y);
// True when the level differs from the one the file holds.
bool unsaved_changes(const edit_model &model);
// The file now holds the level as it is.
void mark_saved(edit_model &model);
// True when the kept solution was played on the level's map as it is now.
bool solution_is_current(const edit_model &model);
// True when the checker found an error (a warning does not count).
bool level_has_errors(const edit_model &model);
