// The editing model: every change is made on the level in memory, kept for
// undo, and followed by the level checker, so that the author always sees
// what the compiler would say of the level as it stands.
#include "editor/edit_model.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The new level's room: walls round the edge of the grid, too high to jump
// (more than JUMP_REACH above the floor), the hero near one end facing the
// length of the room, its drop a few cells ahead.
constexpr float NEW_WALL_HEIGHT = 4.0f;
constexpr int NEW_START_X = 3, NEW_START_Y = GRID_SIZE / 2;
constexpr int NEW_DROP_AHEAD = 4;
static_assert(NEW_WALL_HEIGHT > JUMP_REACH, "the new room's walls keep the hero in");

constexpr int TENTHS_PER_UNIT = 10;
// A height a hair off a tenth (as floats are) still counts as on it.
constexpr double TENTH_SLACK = 1e-3;
constexpr int DIRECTION_COUNT = 4;  // the directions an enemy walks, 0 to 3


// True when (x, y) is a cell of the grid.
bool on_grid(int x, int y) { return x >= 0 && x < GRID_SIZE && y >= 0 && y < GRID_SIZE; }

// "(3, 4)", as the checker names cells.
std::string cell_name(int x, int y) { return "(" + std::to_string(x) + ", " + std::to_string(y) + ")"; }

// A height as the panel writes it.
std::string height_words(float height)
{
  char text[32];
  std::snprintf(text, sizeof text, "%g", (double)height);
  return text;
}

// True when two levels would make the same level text: the legend's words aside.
bool same_level(const level_data &a, const level_data &b)
{
  if (a.name != b.name || a.start_x != b.start_x || a.start_y != b.start_y ||
      a.enemy_count != b.enemy_count || std::memcmp(a.cells, b.cells, sizeof a.cells) != 0)
    return false;
  for (int i = 0; i < a.enemy_count && i <= MAX_ENEMIES; i++)
    if (a.enemies[i].x != b.enemies[i].x || a.enemies[i].y != b.enemies[i].y ||
        a.enemies[i].direction != b.enemies[i].direction)
      return false;
  return true;
}

// The checker's findings on the level as it is now.
void run_checker(edit_model &model)
{
  static level_sources no_text;  // a level in memory has no text to point into
  model.findings.clear();
  model.summary = check_level(model.level, no_text, model.findings);
}

// Makes changed the level, as one step of undo, unless it is the same.
// Returns whether anything changed.
bool commit(edit_model &model, const level_data &changed)
{
  if (same_level(changed, model.level))
    return false;
  model.undo_steps.push_back(model.level);
  if (model.undo_steps.size() > MAX_UNDO_STEPS)
    model.undo_steps.pop_front();
  model.redo_steps.clear();
  model.level = changed;
  run_checker(model);
  return true;
}

// Every target cell of the level, one at a time.
template <typename change>
void for_each_target(const edit_model &model, level_data &level, change apply)
{
  cell_rectangle r = edit_targets(model);
  for (int x = r.min_x; x <= r.max_x; x++)
    for (int y = r.min_y; y <= r.max_y; y++)
      apply(level.cells[x][y]);
}

// "(3, 4)" or "6 cells": what a change applied to.
std::string targets_name(const edit_model &model)
{
  cell_rectangle r = edit_targets(model);
  if (r.min_x == r.max_x && r.min_y == r.max_y)
    return cell_name(r.min_x, r.min_y);
  int cells = (r.max_x - r.min_x + 1) * (r.max_y - r.min_y + 1);
  return std::to_string(cells) + " cells";
}

// The cell under the cursor.
const level_cell &cursor_cell(const edit_model &model)
{
  return model.level.cells[model.cursor.x][model.cursor.y];
}

// Takes the level back from one history (undo's or redo's), keeping the
// level as it is in the other.
std::string step_history(edit_model &model, std::deque<level_data> &from, std::deque<level_data> &to,
                         const std::string &verb, const std::string &done)
{
  if (from.empty())
    return "nothing to " + verb;
  to.push_back(model.level);
  model.level = from.back();
  from.pop_back();
  run_checker(model);
  return done + " (" + std::to_string(from.size()) + " more to " + verb + ")";
}

}  // namespace

level_data new_level(const std::string &name)
{
  level_data level{};
  level.name = name;
  level.start_x = NEW_START_X;
  level.start_y = NEW_START_Y;
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++) {
      bool edge = x == 0 || y == 0 || x == GRID_SIZE - 1 || y == GRID_SIZE - 1;
      level.cells[x][y] = level_cell{height_bits_of(edge ? NEW_WALL_HEIGHT : 0.0f), DROP_MARKER_NONE,
                                     edge ? KIND_METAL : KIND_GRASS};
    }
  level.cells[NEW_START_X + NEW_DROP_AHEAD][NEW_START_Y].drop_marker = DROP_MARKER_DROP;
  return level;
}

void start_editing(edit_model &model, const level_data &level)
{
  model.level = level;
  model.saved = level;
  model.undo_steps.clear();
  model.redo_steps.clear();
  model.selecting = false;
  model.solution = kept_solution{};
  bool start_on_grid = on_grid(level.start_x, level.start_y);
  model.cursor = start_on_grid ? grid_point{level.start_x, level.start_y} : grid_point{GRID_SIZE / 2, GRID_SIZE / 2};
  model.anchor = model.cursor;
  run_checker(model);
}

void move_cursor(edit_model &model, int dx, int dy, bool extend)
{
  if (extend && !model.selecting) {
    model.selecting = true;
    model.anchor = model.cursor;
  } else if (!extend) {
    model.selecting = false;
  }
  model.cursor.x = std::clamp(model.cursor.x + dx, 0, GRID_SIZE - 1);
  model.cursor.y = std::clamp(model.cursor.y + dy, 0, GRID_SIZE - 1);
}

bool clear_selection(edit_model &model)
{
  bool had = model.selecting;
  model.selecting = false;
  return had;
}

cell_rectangle edit_targets(const edit_model &model)
{
  grid_point a = model.selecting ? model.anchor : model.cursor, b = model.cursor;
  return cell_rectangle{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

std::string step_kind(edit_model &model, int step)
{
  int32_t kind = cursor_cell(model).kind;
  int32_t next = kind >= 0 && kind < BLOCK_KIND_COUNT ? (kind + step + BLOCK_KIND_COUNT) % BLOCK_KIND_COUNT : 0;
  level_data changed = model.level;
  for_each_target(model, changed, [&](level_cell &cell) { cell.kind = next; });
  commit(model, changed);
  return targets_name(model) + ": " + kind_word(next);
}

std::string step_height(edit_model &model, int tenths)
{
  float height = stepped_height(cell_height(cursor_cell(model)), tenths);
  level_data changed = model.level;
  for_each_target(model, changed, [&](level_cell &cell) { cell.height_bits = height_bits_of(height); });
  if (!commit(model, changed))
    return "heights run from " + height_words(-HEIGHT_LIMIT) + " to " + height_words(HEIGHT_LIMIT);
  return targets_name(model) + ": height " + height_words(height);
}

std::string toggle_drops(edit_model &model)
{
  bool all_have = true;
  for_each_target(model, model.level, [&](level_cell &cell) {
    all_have = all_have && cell.drop_marker == DROP_MARKER_DROP;
  });
  level_data changed = model.level;
  for_each_target(model, changed, [&](level_cell &cell) {
    cell.drop_marker = all_have ? DROP_MARKER_NONE : DROP_MARKER_DROP;
  });
  commit(model, changed);
  return targets_name(model) + (all_have ? ": no drop" : ": a drop");
}

std::string place_start(edit_model &model)
{
  level_data changed = model.level;
  changed.start_x = model.cursor.x;
  changed.start_y = model.cursor.y;
  commit(model, changed);
  return "the hero starts on " + cell_name(model.cursor.x, model.cursor.y);
}

std::string add_enemy(edit_model &model)
{
  grid_point c = model.cursor;
  if (enemy_on(model.level, c.x, c.y) >= 0)
    return cell_name(c.x, c.y) + " has an enemy already: R turns it, Delete removes it";
  if (model.level.enemy_count >= MAX_ENEMIES)
    return "a level has at most " + std::to_string(MAX_ENEMIES) + " enemies";
  level_data changed = model.level;
  changed.enemies[changed.enemy_count++] = level_enemy{c.x, c.y, TOWARD_PLUS_X};
  commit(model, changed);
  return "enemy " + std::to_string(changed.enemy_count) + " on " + cell_name(c.x, c.y) + " walks +x";
}

std::string turn_enemy(edit_model &model)
{
  int i = enemy_on(model.level, model.cursor.x, model.cursor.y);
  if (i < 0)
    return "no enemy on " + cell_name(model.cursor.x, model.cursor.y) + ": E adds one";
  level_data changed = model.level;
  int32_t &direction = changed.enemies[i].direction;
  // Directions count a quarter to the left each: +x, +y, -x, -y.
  direction = direction >= 0 && direction < DIRECTION_COUNT ? (direction + 1) % DIRECTION_COUNT : TOWARD_PLUS_X;
  commit(model, changed);
  return "enemy " + std::to_string(i + 1) + " walks " + direction_word(direction);
}

std::string remove_enemy(edit_model &model)
{
  int i = enemy_on(model.level, model.cursor.x, model.cursor.y);
  if (i < 0)
    return "no enemy on " + cell_name(model.cursor.x, model.cursor.y);
  level_data changed = model.level;
  std::copy(changed.enemies + i + 1, changed.enemies + changed.enemy_count, changed.enemies + i);
  changed.enemy_count--;
  commit(model, changed);
  return "enemy " + std::to_string(i + 1) + " removed";
}

std::string rename_level(edit_model &model, const std::string &name)
{
  size_t first = name.find_first_not_of(' ');
  if (first == std::string::npos)
    return "a level needs a name: the name stays " + model.level.name;
  level_data changed = model.level;
  changed.name = name.substr(first, name.find_last_not_of(' ') + 1 - first).substr(0, MAX_LEVEL_NAME);
  commit(model, changed);
  return "the level is called " + changed.name;
}

std::string undo(edit_model &model)
{
  return step_history(model, model.undo_steps, model.redo_steps, "undo", "undone");
}

std::string redo(edit_model &model)
{
  return step_history(model, model.redo_steps, model.undo_steps, "redo", "redone");
}

float stepped_height(float height, int tenths)
{
  double scaled = std::isnan(height) ? 0.0 : (double)height * TENTHS_PER_UNIT;
  double from = tenths > 0 ? std::floor(scaled + TENTH_SLACK) : std::ceil(scaled - TENTH_SLACK);
  double limit = (double)HEIGHT_LIMIT * TENTHS_PER_UNIT;
  float target = (float)std::clamp(from + tenths, -limit, limit);
  // Whole tenths over ten: the float nearest the decimal, as the text reads it.
  return target / (float)TENTHS_PER_UNIT;
}

int enemy_on(const level_data &level, int x, int y)
{
  int count = std::min(level.enemy_count, (int32_t)MAX_ENEMIES + 1);
  for (int i = count - 1; i >= 0; i--)
    if (level.enemies[i].x == x && level.enemies[i].y == y)
      return i;
  return -1;
}

bool unsaved_changes(const edit_model &model)
{
  return !same_level(model.level, model.saved);
}

void mark_saved(edit_model &model)
{
  model.saved = model.level;
}

bool solution_is_current(const edit_model &model)
{
  return !model.solution.map.empty() && model.solution.map == encode_map(model.level);
}

bool level_has_errors(const edit_model &model)
{
  return has_errors(model.findings);
}
