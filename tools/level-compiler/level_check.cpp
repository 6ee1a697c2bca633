// The level checker. The world update reads cells only inside the grid, so a
// level must keep the hero and every enemy inside it: the hero by walls it can
// neither climb nor jump, an enemy by a change of height at each end of its
// run. Reachability here errs on the generous side (a jump is taken to carry
// the hero any distance), so an area it calls walled in is walled in.
#include "tools/level-compiler/level_check.h"

#include <cmath>
#include <cstdio>
#include <deque>

namespace {

constexpr float ENEMY_REACH_XY = 1.2f;  // contact box around the hero
constexpr float ENEMY_REACH_Z = 0.8f;
constexpr int LEAKS_REPORTED = 8;       // edge cells named before summing up

constexpr int STEP_X[] = {1, -1, 0, 0};
constexpr int STEP_Y[] = {0, 0, 1, -1};
constexpr int NEIGHBOURS = 4;

bool on_grid(int32_t x, int32_t y) { return x >= 0 && x < GRID_SIZE && y >= 0 && y < GRID_SIZE; }

bool on_edge(int x, int y) { return x == 0 || y == 0 || x == GRID_SIZE - 1 || y == GRID_SIZE - 1; }

std::string cell_name(int x, int y)
{
  return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

std::string number(float value)
{
  char text[32];
  std::snprintf(text, sizeof text, "%g", (double)value);
  return text;
}

// Where the hero can be, and the highest surface it can take off from there.
struct reach_map {
  bool reached[GRID_SIZE][GRID_SIZE];
  float base[GRID_SIZE][GRID_SIZE];
  int from_x[GRID_SIZE][GRID_SIZE], from_y[GRID_SIZE][GRID_SIZE];
};

// A cell on which the hero cannot stand: lava kills it on landing, and on a
// height that is not a number it neither lands nor falls. Over such a cell the
// hero keeps the take-off height of the jump that brought it there.
bool carries_jump(const level_cell &cell)
{
  return cell.kind == KIND_LAVA || std::isnan(cell_height(cell));
}

// Spreads from the start cell over every cell the hero could walk, fall or
// jump onto. A cell is entered when it is at most JUMP_REACH above the
// surface the hero comes from (a NaN height never blocks, as in the game).
void find_reach(const level_data &level, reach_map &reach)
{
  reach = reach_map{};
  std::deque<std::pair<int, int>> queue;
  int sx = level.start_x, sy = level.start_y;
  reach.reached[sx][sy] = true;
  // The hero enters a level at height 0 and is lifted onto a higher start.
  float start_height = cell_height(level.cells[sx][sy]);
  reach.base[sx][sy] = std::isnan(start_height) ? 0.0f : std::fmax(start_height, 0.0f);
  reach.from_x[sx][sy] = sx;
  reach.from_y[sx][sy] = sy;
  queue.push_back({sx, sy});
  while (!queue.empty()) {
    int ax = queue.front().first, ay = queue.front().second;
    queue.pop_front();
    float from = reach.base[ax][ay];
    for (int n = 0; n < NEIGHBOURS; n++) {
      int bx = ax + STEP_X[n], by = ay + STEP_Y[n];
      if (!on_grid(bx, by))
        continue;
      const level_cell &cell = level.cells[bx][by];
      float height = cell_height(cell);
      if (height - from > JUMP_REACH)
        continue;
      float base = carries_jump(cell) ? from : height;
      if (reach.reached[bx][by] && base <= reach.base[bx][by])
        continue;
      reach.reached[bx][by] = true;
      reach.base[bx][by] = base;
      reach.from_x[bx][by] = ax;
      reach.from_y[bx][by] = ay;
      queue.push_back({bx, by});
    }
  }
}

void check_enclosure(const level_data &level, const level_sources &sources, const reach_map &reach,
                     diagnostics &messages)
{
  int leaks = 0;
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++) {
      if (!reach.reached[x][y] || !on_edge(x, y))
        continue;
      if (++leaks > LEAKS_REPORTED)
        continue;
      int fx = reach.from_x[x][y], fy = reach.from_y[x][y];
      if (fx == x && fy == y) {
        add_error(messages, sources.start_x,
                  "the hero starts on the edge of the grid at " + cell_name(x, y) +
                      ": start it inside, behind a wall");
        continue;
      }
      float from = reach.base[fx][fy];
      add_error(messages, sources.cells[x][y],
                "the hero can get onto edge cell " + cell_name(x, y) + " from " + cell_name(fx, fy) +
                    ": wall the level in by making it higher than " + number(from + JUMP_REACH) +
                    " (more than " + number(JUMP_REACH) + " above " + number(from) + ")");
    }
  if (leaks > LEAKS_REPORTED)
    add_error(messages, sources.grid,
              "the hero can reach " + std::to_string(leaks - LEAKS_REPORTED) +
                  " more edge cells than those named: the level needs a wall all round");
}

void check_drops(const level_data &level, const level_sources &sources, const reach_map *reach,
                 diagnostics &messages)
{
  int drops = 0;
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++) {
      const level_cell &cell = level.cells[x][y];
      if (cell.drop_marker != DROP_MARKER_DROP)
        continue;
      drops++;
      if (!reach)
        continue;
      if (!reach->reached[x][y])
        add_warning(messages, sources.cells[x][y],
                    "no walk or jump reaches the drop on " + cell_name(x, y) +
                        ": lower a wall or add steps (a jump climbs at most " + number(JUMP_REACH) + ")");
      else if (cell.kind == KIND_LAVA)
        add_warning(messages, sources.cells[x][y],
                    "the drop on " + cell_name(x, y) + " lies on lava: taking it costs a life");
    }
  if (drops == 0)
    add_error(messages, sources.grid, "the level has no drop: mark at least one cell with '*'");
}

// How far an enemy's run goes from its start cell along one axis, toward
// step; sets off_grid when the run reaches past the grid's edge.
int run_end(const level_data &level, const level_enemy &e, int dx, int dy, bool &off_grid)
{
  float z = cell_height(level.cells[e.x][e.y]);
  int x = e.x, y = e.y;
  for (;;) {
    int nx = x + dx, ny = y + dy;
    if (!on_grid(nx, ny)) {
      off_grid = true;
      return dx ? x : y;
    }
    // The same exact comparison as the patrol: any difference turns it.
    if (cell_height(level.cells[nx][ny]) != z)
      return dx ? x : y;
    x = nx;
    y = ny;
  }
}

bool touches(float dx, float dy, float dz)
{
  return std::fabs(dx) < ENEMY_REACH_XY && std::fabs(dy) < ENEMY_REACH_XY && std::fabs(dz) < ENEMY_REACH_Z;
}

void check_enemy(const level_data &level, const level_sources &sources, int i, bool start_ok,
                 diagnostics &messages)
{
  const level_enemy &e = level.enemies[i];
  std::string name = "enemy " + std::to_string(i + 1);
  if (!on_grid(e.x, 0)) {
    add_error(messages, sources.enemy_x[i], name + " starts at x = " + std::to_string(e.x) +
                                                ", off the grid: x runs from 0 to 24");
    return;
  }
  if (!on_grid(0, e.y)) {
    add_error(messages, sources.enemy_y[i], name + " starts at y = " + std::to_string(e.y) +
                                                ", off the grid: y runs from 0 to 24");
    return;
  }
  float z = cell_height(level.cells[e.x][e.y]);
  float hero_z = start_ok ? cell_height(level.cells[level.start_x][level.start_y]) : 0.0f;
  if (start_ok && touches(2.0f * (e.x - level.start_x), 2.0f * (e.y - level.start_y), z - hero_z))
    add_error(messages, sources.enemies[i],
              name + " starts on the hero's start cell " + cell_name(e.x, e.y) +
                  " and would kill it at once: move one of them");
  bool along_x = e.direction == TOWARD_PLUS_X || e.direction == TOWARD_MINUS_X;
  bool along_y = e.direction == TOWARD_PLUS_Y || e.direction == TOWARD_MINUS_Y;
  if (!along_x && !along_y)
    return;  // any other direction stands still
  int dx = along_x ? 1 : 0, dy = along_y ? 1 : 0;
  bool high_off = false, low_off = false;
  int high = run_end(level, e, dx, dy, high_off);
  int low = run_end(level, e, -dx, -dy, low_off);
  if (high_off || low_off) {
    std::string way = std::string(high_off ? "+" : "-") + (along_x ? "x" : "y");
    add_error(messages, sources.enemies[i],
              name + " on " + cell_name(e.x, e.y) + " would patrol off the grid toward " + way +
                  ": end its run with a cell of another height");
    return;
  }
  if (!start_ok)
    return;
  int s_along = along_x ? level.start_x : level.start_y;
  bool same_line = along_x ? level.start_y == e.y : level.start_x == e.x;
  bool on_start = e.x == level.start_x && e.y == level.start_y;
  if (same_line && !on_start && s_along >= low && s_along <= high && touches(0.0f, 0.0f, z - hero_z))
    add_warning(messages, sources.enemies[i],
                name + "'s run crosses the hero's start cell: a revived hero may die at once");
}

}  // namespace

void check_level(const level_data &level, const level_sources &sources, diagnostics &messages)
{
  bool start_ok = true;
  if (!on_grid(level.start_x, 0)) {
    add_error(messages, sources.start_x, "the start x = " + std::to_string(level.start_x) +
                                             " is off the grid: x runs from 0 to 24");
    start_ok = false;
  }
  if (!on_grid(0, level.start_y)) {
    add_error(messages, sources.start_y, "the start y = " + std::to_string(level.start_y) +
                                             " is off the grid: y runs from 0 to 24");
    start_ok = false;
  }
  if (start_ok && level.cells[level.start_x][level.start_y].kind == KIND_LAVA)
    add_error(messages, sources.start_x,
              "the hero starts on lava at " + cell_name(level.start_x, level.start_y) +
                  " and would die at once: start it on another cell");

  if (level.enemy_count > MAX_ENEMIES)
    add_error(messages, sources.enemies[MAX_ENEMIES],
              "a level has at most " + std::to_string(MAX_ENEMIES) + " enemies: remove this one");
  int enemies = level.enemy_count < MAX_ENEMIES ? level.enemy_count : MAX_ENEMIES;
  for (int i = 0; i < enemies; i++)
    check_enemy(level, sources, i, start_ok, messages);

  static reach_map reach;
  if (start_ok) {
    find_reach(level, reach);
    check_enclosure(level, sources, reach, messages);
  }
  check_drops(level, sources, start_ok ? &reach : nullptr, messages);
}
