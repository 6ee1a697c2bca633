// The level checker. The world update reads cells only inside the grid, so a
// level must keep the hero and every enemy inside it: the hero by walls it can
// neither climb nor jump, an enemy by a change of height at each end of its
// run. Reachability here errs on the generous side (a jump is taken to carry
// the hero any distance), so an area it calls walled in is walled in.
#include "level/level.h"
#include "world/physics.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <deque>
#include <set>

namespace {

constexpr size_t LEAKS_REPORTED = 8;    // ways out named before summing up
constexpr int DIRECTION_COUNT = 4;      // the directions a map holds, 0 to 3


bool on_grid(int32_t x, int32_t y) { return x >= 0 && x < GRID_SIZE && y >= 0 && y < GRID_SIZE; }

// The cell an enemy starts on, when that is on the grid.
grid_point enemy_cell(const level_enemy &e) { return on_grid(e.x, e.y) ? grid_point{e.x, e.y} : NO_CELL; }

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

// A cell of the grid.
struct cell_at {
  int x, y;
};

// Where the hero can be, the highest surface it can take off from there, the
// take-off that got it there and the highest cell it passed on the way.
struct reach_map {
  bool reached[GRID_SIZE][GRID_SIZE];
  float base[GRID_SIZE][GRID_SIZE];
  cell_at from[GRID_SIZE][GRID_SIZE];
  cell_at peak[GRID_SIZE][GRID_SIZE];
};

constexpr float DIAGONAL_GAIN = 1.4143f;  // a diagonal walk crosses cells faster
constexpr int STEP_X[] = {1, -1, 0, 0};
constexpr int STEP_Y[] = {0, 0, 1, -1};
constexpr int NEIGHBOURS = 4;

// The highest the hero's feet can be, in a jump from a surface at base, once
// it has crossed into the cell path_cells steps away along a path of cells:
// the crossing takes it at least that far at full speed, and the jump rises
// 1.7, stays a tick and falls 0.1 a tick.
float highest_feet(float base, int path_cells)
{
  float distance = std::fmax(0.0f, CELL_PITCH * path_cells - 1.0f - WALL_PROBE_LEAD);
  float ticks = distance / (HERO_SPEED * DIAGONAL_GAIN);
  float top = base + JUMP_RISE;
  return ticks <= JUMP_RISE_TICKS ? top : top - VERTICAL_STEP * (ticks - JUMP_RISE_TICKS);
}

// Marks cell (x, y) reached from (ax, ay), the hero standing on it at base;
// true when that is news.
bool mark(reach_map &reach, int x, int y, float base, cell_at from, cell_at peak)
{
  if (reach.reached[x][y] && base <= reach.base[x][y])
    return false;
  reach.reached[x][y] = true;
  reach.base[x][y] = base;
  reach.from[x][y] = from;
  reach.peak[x][y] = peak;
  return true;
}

float height_at(const level_data &level, cell_at c) { return cell_height(level.cells[c.x][c.y]); }

// Follows one jump (or walk, or fall) from (ax, ay) cell by cell: a cell is
// entered when it is at most reach_up - JUMP_RISE above the hero's feet at
// that point. Every cell so entered is reached; those the hero can stand on
// go to the queue as new places to jump from.
void follow_jump(const level_data &level, float reach_up, int ax, int ay, reach_map &reach,
                 std::deque<std::pair<int, int>> &queue)
{
  static int depth[GRID_SIZE][GRID_SIZE];
  static cell_at peak[GRID_SIZE][GRID_SIZE];  // the highest cell on the way
  for (auto &column : depth)
    for (int &d : column)
      d = -1;
  float base = reach.base[ax][ay];
  std::deque<std::pair<int, int>> flight{{ax, ay}};
  depth[ax][ay] = 0;
  while (!flight.empty()) {
    int x = flight.front().first, y = flight.front().second;
    flight.pop_front();
    for (int n = 0; n < NEIGHBOURS; n++) {
      int bx = x + STEP_X[n], by = y + STEP_Y[n];
      if (!on_grid(bx, by) || depth[bx][by] >= 0)
        continue;
      const level_cell &cell = level.cells[bx][by];
      float height = cell_height(cell);
      int cells = depth[x][y] + 1;
      if (height - highest_feet(base, cells) > reach_up - JUMP_RISE)
        continue;  // a NaN height never blocks, as in the game
      depth[bx][by] = cells;
      cell_at here{bx, by};
      peak[bx][by] = cells == 1 || !(height_at(level, peak[x][y]) > height) ? here : peak[x][y];
      flight.push_back({bx, by});
      // On a NaN height the hero neither falls nor climbs: it keeps its own.
      float stand = std::isnan(height) ? base : height;
      if (cell.kind == KIND_LAVA)
        mark(reach, bx, by, -INFINITY, {ax, ay}, peak[bx][by]);  // reached, but no take-off there
      else if (mark(reach, bx, by, stand, {ax, ay}, peak[bx][by]))
        queue.push_back({bx, by});
    }
  }
}

// Spreads from the start cell over every cell the hero could walk, fall or
// jump onto, erring on the generous side: a jump may go any way at full
// speed. reach_up is the highest step up a jump manages.
void find_reach(const level_data &level, float reach_up, reach_map &reach)
{
  reach = reach_map{};
  int sx = level.start_x, sy = level.start_y;
  // The hero enters a level at height 0 and is lifted onto a higher start.
  float start_height = cell_height(level.cells[sx][sy]);
  mark(reach, sx, sy, std::isnan(start_height) ? 0.0f : std::fmax(start_height, 0.0f), {sx, sy}, {sx, sy});
  std::deque<std::pair<int, int>> queue{{sx, sy}};
  while (!queue.empty()) {
    int ax = queue.front().first, ay = queue.front().second;
    queue.pop_front();
    follow_jump(level, reach_up, ax, ay, reach, queue);
  }
}

// The jump that lets the hero out toward edge cell c: going back along the
// take-offs that reach it, the last one whose way passed a cell higher than
// a step up. take_off and wall get that jump's take-off and highest cell;
// false when the hero walks all the way.
bool jump_out(const level_data &level, const reach_map &reach, cell_at c, cell_at &take_off, cell_at &wall)
{
  for (int links = 0; links < GRID_SIZE * GRID_SIZE; links++) {
    cell_at from = reach.from[c.x][c.y];
    if (from.x == c.x && from.y == c.y)
      return false;  // back at the start
    cell_at peak = reach.peak[c.x][c.y];
    if (height_at(level, peak) - reach.base[from.x][from.y] > CLIMB_LIMIT) {
      take_off = from;
      wall = peak;
      return true;
    }
    c = from;
  }
  return false;
}

// One way out of the level: a jump from a take-off over a wall (or a walk,
// when the wall is the edge cell itself), and the edge cells it leads to.
struct leak {
  cell_at from, wall, edge;
  bool jumped;
  int edges;
};

void report_leak(const level_data &level, const level_sources &sources, const reach_map &reach,
                 const leak &l, diagnostics &messages)
{
  float base = reach.base[l.from.x][l.from.y];
  std::string onto = l.edges == 1 ? "edge cell " + cell_name(l.edge.x, l.edge.y)
                                  : std::to_string(l.edges) + " edge cells, " + cell_name(l.edge.x, l.edge.y) + " first";
  std::string raise = "raise the wall above " + number(base + JUMP_REACH) + " (more than " + number(JUMP_REACH) +
                      " above " + number(base) + ")";
  if (!l.jumped) {
    add_error(messages, sources.cells[l.edge.x][l.edge.y], "the hero can walk onto " + onto + ": " + raise,
              {l.edge.x, l.edge.y});
    return;
  }
  add_error(messages, sources.cells[l.from.x][l.from.y],
            "the hero can jump from " + cell_name(l.from.x, l.from.y) + ", " + number(base) + " high, over " +
                cell_name(l.wall.x, l.wall.y) + ", " + number(height_at(level, l.wall)) + " high, onto " + onto +
                ": lower " + cell_name(l.from.x, l.from.y) + " or move it away from the wall, or " + raise,
            {l.from.x, l.from.y});
}

void check_enclosure(const level_data &level, const level_sources &sources, const reach_map &reach,
                     diagnostics &messages)
{
  std::vector<leak> leaks;
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++) {
      if (!reach.reached[x][y] || !on_edge(x, y))
        continue;
      cell_at from = reach.from[x][y], wall = {x, y};
      if (from.x == x && from.y == y) {
        add_error(messages, sources.start_x,
                  "the hero starts on the edge of the grid at " + cell_name(x, y) +
                      ": start it inside, behind a wall",
                  {x, y});
        continue;
      }
      bool jumped = jump_out(level, reach, {x, y}, from, wall);
      auto same = std::find_if(leaks.begin(), leaks.end(), [&](const leak &l) {
        return l.jumped == jumped &&
               (!jumped || (l.from.x == from.x && l.from.y == from.y && l.wall.x == wall.x && l.wall.y == wall.y));
      });
      if (same == leaks.end())
        leaks.push_back(leak{from, wall, {x, y}, jumped, 1});
      else
        same->edges++;
    }
  for (size_t i = 0; i < leaks.size() && i < LEAKS_REPORTED; i++)
    report_leak(level, sources, reach, leaks[i], messages);
  if (leaks.size() > LEAKS_REPORTED)
    add_error(messages, sources.grid,
              "the hero has " + std::to_string(leaks.size() - LEAKS_REPORTED) +
                  " more ways out than those named: the level needs a wall all round");
}

// Warns of drops the hero cannot collect alive; returns the count of drops.
int check_drops(const level_data &level, const level_sources &sources, const reach_map *reach,
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
                        ": lower a wall or add steps (a jump gets onto a block at most " +
                        number(JUMP_ONTO_REACH) + " higher)",
                    {x, y});
      else if (cell.kind == KIND_LAVA)
        add_warning(messages, sources.cells[x][y],
                    "the drop on " + cell_name(x, y) + " lies on lava: taking it costs a life", {x, y});
    }
  if (drops == 0)
    add_error(messages, sources.grid, "the level has no drop: mark at least one cell with '*'");
  return drops;
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

// Heights must be finite numbers within the limit: one error for each place
// a bad height is written, however many cells use it.
void check_heights(const level_data &level, const level_sources &sources, diagnostics &messages)
{
  std::set<std::pair<int, int>> reported;
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++) {
      float height = cell_height(level.cells[x][y]);
      source_pos at = sources.heights[x][y];
      if (std::fabs(height) <= HEIGHT_LIMIT || !reported.insert({at.line, at.column}).second)
        continue;
      add_error(messages, at, "the height " + number(height) + " of " + cell_name(x, y) +
                                  " is not a number from " + number(-HEIGHT_LIMIT) + " to " +
                                  number(HEIGHT_LIMIT) + ": the hero would fall for ever or never land",
                {x, y});
    }
}

// Enemies that start on one cell walk as one: the second adds nothing.
void check_enemy_cells(const level_data &level, const level_sources &sources, int enemies,
                       diagnostics &messages)
{
  for (int i = 0; i < enemies; i++)
    for (int j = 0; j < i; j++)
      if (level.enemies[i].x == level.enemies[j].x && level.enemies[i].y == level.enemies[j].y) {
        add_warning(messages, sources.enemies[i],
                    "enemy " + std::to_string(i + 1) + " starts on " +
                        cell_name(level.enemies[i].x, level.enemies[i].y) + " like enemy " +
                        std::to_string(j + 1) + ": move one of them",
                    enemy_cell(level.enemies[i]));
        break;
      }
}

void check_enemy(const level_data &level, const level_sources &sources, int i, bool start_ok,
                 diagnostics &messages)
{
  const level_enemy &e = level.enemies[i];
  std::string name = "enemy " + std::to_string(i + 1);
  if (e.direction < 0 || e.direction >= DIRECTION_COUNT) {
    add_error(messages, sources.enemy_direction[i],
              name + "'s direction " + std::to_string(e.direction) +
                  " is none of the four a map holds: use +x, -x, +y or -y",
              enemy_cell(e));
    return;
  }
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
  if (start_ok && within_enemy_reach(CELL_PITCH * (e.x - level.start_x), CELL_PITCH * (e.y - level.start_y), z - hero_z))
    add_error(messages, sources.enemies[i],
              name + " starts on the hero's start cell " + cell_name(e.x, e.y) +
                  " and would kill it at once: move one of them",
              enemy_cell(e));
  bool along_x = e.direction == TOWARD_PLUS_X || e.direction == TOWARD_MINUS_X;
  bool along_y = !along_x;
  int dx = along_x ? 1 : 0, dy = along_y ? 1 : 0;
  bool high_off = false, low_off = false;
  int high = run_end(level, e, dx, dy, high_off);
  int low = run_end(level, e, -dx, -dy, low_off);
  if (high_off || low_off) {
    std::string way = std::string(high_off ? "+" : "-") + (along_x ? "x" : "y");
    add_error(messages, sources.enemies[i],
              name + " on " + cell_name(e.x, e.y) + " would patrol off the grid toward " + way +
                  ": end its run with a cell of another height",
              enemy_cell(e));
    return;
  }
  if (!start_ok)
    return;
  int s_along = along_x ? level.start_x : level.start_y;
  bool same_line = along_x ? level.start_y == e.y : level.start_x == e.x;
  bool on_start = e.x == level.start_x && e.y == level.start_y;
  if (same_line && !on_start && s_along >= low && s_along <= high && within_enemy_reach(0.0f, 0.0f, z - hero_z))
    add_warning(messages, sources.enemies[i],
                name + "'s run crosses the hero's start cell: a revived hero may die at once", enemy_cell(e));
}

}  // namespace

level_summary check_level(const level_data &level, const level_sources &sources, diagnostics &messages)
{
  level_summary summary{0, 0, 0};
  check_heights(level, sources, messages);
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
                  " and would die at once: start it on another cell",
              {level.start_x, level.start_y});

  if (level.enemy_count > MAX_ENEMIES)
    add_error(messages, sources.enemies[MAX_ENEMIES],
              "a level has at most " + std::to_string(MAX_ENEMIES) + " enemies: remove this one",
              enemy_cell(level.enemies[MAX_ENEMIES]));
  int enemies = level.enemy_count < MAX_ENEMIES ? level.enemy_count : MAX_ENEMIES;
  for (int i = 0; i < enemies; i++)
    check_enemy(level, sources, i, start_ok, messages);
  check_enemy_cells(level, sources, enemies, messages);
  summary.enemies = enemies;

  static reach_map reach;
  if (start_ok) {
    find_reach(level, JUMP_REACH, reach);
    check_enclosure(level, sources, reach, messages);
    find_reach(level, JUMP_ONTO_REACH, reach);
  }
  summary.drops = check_drops(level, sources, start_ok ? &reach : nullptr, messages);
  for (int x = 0; start_ok && x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++)
      summary.reachable_cells += reach.reached[x][y];
  return summary;
}
