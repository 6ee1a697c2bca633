// The editor's view: the level drawn by the game's renderer from the editing
// camera or a game preset, and the editor's marks drawn over it unlit.
#include "editor/edit_view.h"
#include "render/render.h"
#include "level/level.h"
#include "world/map_load.h"
#include "world/world.h"

#include <GL/glu.h>
#include <algorithm>
#include <cmath>

namespace {

// The editing camera's limits and steps.
constexpr int START_PITCH = 55, MIN_PITCH = 10, MAX_PITCH = 85;  // degrees
constexpr float START_DISTANCE = 22.0f, MIN_DISTANCE = 6.0f;
// The far plane is 100 away: the whole grid (50 units across) stays inside it.
constexpr float MAX_DISTANCE = 48.0f;
constexpr float ZOOM_FACTOR = 1.2f;
constexpr int FULL_TURN = 360, QUARTER_TURN = 90;
constexpr double RADIANS_PER_DEGREE = M_PI / 180.0;

// The marks: a hair above the tops they lie on, so that the tops do not hide them.
constexpr float MARK_LIFT = 0.03f;
constexpr float CELL_HALF = 0.5f * CELL_PITCH;
constexpr float CURSOR_LINE_WIDTH = 3.0f, MARK_LINE_WIDTH = 2.0f;
constexpr float FINDING_INSET = 0.15f;  // a checker's mark lies inside the cursor's
constexpr float DROP_BEACON_FROM = 0.5f, DROP_BEACON_TO = 2.5f;  // above the top
constexpr float SELECTION_ALPHA = 0.35f;
// The enemy's arrow, pointing the way it walks, floats over its sphere
// (whose top is 1.8 above the cell), where the camera sees it from above.
constexpr float ARROW_TIP = 1.0f, ARROW_BACK = -0.7f, ARROW_HALF_WIDTH = 0.6f, ARROW_LIFT = 2.2f;

struct colour {
  float r, g, b;
};
constexpr colour CURSOR_COLOUR = {1.0f, 1.0f, 0.2f};
constexpr colour SELECTION_COLOUR = {0.3f, 0.7f, 1.0f};
constexpr colour START_COLOUR = {0.2f, 1.0f, 0.3f};
constexpr colour ERROR_COLOUR = {1.0f, 0.15f, 0.1f};
constexpr colour WARNING_COLOUR = {1.0f, 0.6f, 0.1f};
constexpr colour DROP_COLOUR = {0.6f, 0.75f, 1.0f};
constexpr colour ENEMY_ARROW_COLOUR = {1.0f, 0.3f, 0.7f};

// True when (x, y) is a cell of the grid.
bool on_grid(int x, int y) { return x >= 0 && x < GRID_SIZE && y >= 0 && y < GRID_SIZE; }

// The z a mark on cell (x, y) lies at: its top as drawn, a NaN one as 0.
float mark_z(const level_data &level, int x, int y)
{
  float height = cell_height(level.cells[x][y]);
  return (std::isnan(height) ? 0.0f : std::clamp(drawn_top(height), -HEIGHT_LIMIT, HEIGHT_LIMIT)) + MARK_LIFT;
}

// The square of cell (x, y) inset from its edges, as one primitive of mode
// (an outline or a fill) on the cell's top.
void cell_square(const level_data &level, int x, int y, float inset, GLenum mode)
{
  float cx = CELL_PITCH * x, cy = CELL_PITCH * y, z = mark_z(level, x, y), r = CELL_HALF - inset;
  glBegin(mode);
  glVertex3f(cx - r, cy - r, z);
  glVertex3f(cx + r, cy - r, z);
  glVertex3f(cx + r, cy + r, z);
  glVertex3f(cx - r, cy + r, z);
  glEnd();
}

// A coloured outline on the top of cell (x, y).
void outline_cell(const level_data &level, int x, int y, float inset, colour c)
{
  glColor3f(c.r, c.g, c.b);
  cell_square(level, x, y, inset, GL_LINE_LOOP);
}

// The selected rectangle, tinted.
void draw_selection(const edit_model &model)
{
  if (!model.selecting)
    return;
  cell_rectangle r = edit_targets(model);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(SELECTION_COLOUR.r, SELECTION_COLOUR.g, SELECTION_COLOUR.b, SELECTION_ALPHA);
  for (int x = r.min_x; x <= r.max_x; x++)
    for (int y = r.min_y; y <= r.max_y; y++)
      cell_square(model.level, x, y, 0.0f, GL_QUADS);
  glDisable(GL_BLEND);
}

// A line up from each drop, so that a drop is seen from afar.
void draw_drop_beacons(const level_data &level)
{
  glColor3f(DROP_COLOUR.r, DROP_COLOUR.g, DROP_COLOUR.b);
  glBegin(GL_LINES);
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++)
      if (level.cells[x][y].drop_marker == DROP_MARKER_DROP) {
        float z = mark_z(level, x, y);
        glVertex3f(CELL_PITCH * x, CELL_PITCH * y, z + DROP_BEACON_FROM);
        glVertex3f(CELL_PITCH * x, CELL_PITCH * y, z + DROP_BEACON_TO);
      }
  glEnd();
}

// An arrow over each enemy, turned as the renderer turns the enemy.
void draw_enemy_arrows(const level_data &level)
{
  glColor3f(ENEMY_ARROW_COLOUR.r, ENEMY_ARROW_COLOUR.g, ENEMY_ARROW_COLOUR.b);
  int count = std::min(level.enemy_count, (int32_t)MAX_ENEMIES + 1);
  for (int i = 0; i < count; i++) {
    const level_enemy &e = level.enemies[i];
    if (!on_grid(e.x, e.y))
      continue;
    glPushMatrix();
    glTranslatef(CELL_PITCH * e.x, CELL_PITCH * e.y, mark_z(level, e.x, e.y) + ARROW_LIFT);
    glRotatef(enemy_facing(e.direction), 0, 0, 1);
    glBegin(GL_TRIANGLES);
    glVertex3f(ARROW_TIP, 0, 0);
    glVertex3f(ARROW_BACK, ARROW_HALF_WIDTH, 0);
    glVertex3f(ARROW_BACK, -ARROW_HALF_WIDTH, 0);
    glEnd();
    glPopMatrix();
  }
}

// The cells the checker's messages name: red for errors, orange for warnings.
void draw_findings(const edit_model &model)
{
  for (const diagnostic &d : model.findings)
    if (on_grid(d.cell.x, d.cell.y))
      outline_cell(model.level, d.cell.x, d.cell.y, FINDING_INSET, d.is_error ? ERROR_COLOUR : WARNING_COLOUR);
}

// Everything the editor marks, unlit and untextured; the GL state is put back.
void draw_marks(const edit_model &model)
{
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_CULL_FACE);  // the arrows and fills are seen from above and below
  draw_selection(model);
  draw_enemy_arrows(model.level);
  glLineWidth(MARK_LINE_WIDTH);
  draw_drop_beacons(model.level);
  draw_findings(model);
  const level_data &level = model.level;
  if (on_grid(level.start_x, level.start_y))
    outline_cell(level, level.start_x, level.start_y, 0.0f, START_COLOUR);
  // The cursor shows through whatever stands in front of it.
  glDisable(GL_DEPTH_TEST);
  glLineWidth(CURSOR_LINE_WIDTH);
  outline_cell(level, model.cursor.x, model.cursor.y, 0.0f, CURSOR_COLOUR);
  glPopAttrib();
}

// The editing camera: behind and above the cursor's cell, looking at it.
void look_at_cursor(const edit_model &model, const editor_camera &camera)
{
  float tx = CELL_PITCH * model.cursor.x, ty = CELL_PITCH * model.cursor.y;
  float tz = mark_z(model.level, model.cursor.x, model.cursor.y);
  double yaw = camera.yaw * RADIANS_PER_DEGREE, pitch = camera.pitch * RADIANS_PER_DEGREE;
  double level_reach = camera.distance * std::cos(pitch);
  gluLookAt(tx - level_reach * std::cos(yaw), ty - level_reach * std::sin(yaw), tz + camera.distance * std::sin(pitch),
            tx, ty, tz, 0, 0, 1);
  light_from_above(tx, ty, tz);
  const level_data &level = model.level;
  if (on_grid(level.start_x, level.start_y))
    draw_hero_at(CELL_PITCH * level.start_x, CELL_PITCH * level.start_y,
                 mark_z(level, level.start_x, level.start_y) - MARK_LIFT);
}

// A game preset, as if the hero stood on the cursor's cell facing the view's way.
void look_as_player(const edit_model &model, const editor_camera &camera)
{
  hero_x = CELL_PITCH * model.cursor.x;
  hero_y = CELL_PITCH * model.cursor.y;
  hero_z = mark_z(model.level, model.cursor.x, model.cursor.y) - MARK_LIFT;
  hero_heading = camera.yaw;
  hero_dead = 0;
  view_from_hero(camera_presets[camera.preset]);
}

}  // namespace

editor_camera default_camera()
{
  return editor_camera{EDITING_CAMERA, 0, START_PITCH, START_DISTANCE};
}

void orbit_camera(editor_camera &camera, int degrees)
{
  camera.yaw = ((camera.yaw + degrees) % FULL_TURN + FULL_TURN) % FULL_TURN;
}

void tilt_camera(editor_camera &camera, int degrees)
{
  camera.pitch = std::clamp(camera.pitch + degrees, MIN_PITCH, MAX_PITCH);
}

void zoom_camera(editor_camera &camera, bool zoom_in)
{
  float distance = zoom_in ? camera.distance / ZOOM_FACTOR : camera.distance * ZOOM_FACTOR;
  camera.distance = std::clamp(distance, MIN_DISTANCE, MAX_DISTANCE);
}

grid_point view_step(const editor_camera &camera, int forward, int left)
{
  // The grid axes by quarter turns from +x, each with the axis to its left.
  static const grid_point ahead[] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
  constexpr int AXES = sizeof ahead / sizeof ahead[0];
  int quarter = (camera.yaw + QUARTER_TURN / 2) % FULL_TURN / QUARTER_TURN;
  grid_point f = ahead[quarter], l = ahead[(quarter + 1) % AXES];
  return grid_point{forward * f.x + left * l.x, forward * f.y + left * l.y};
}

void show_level(const level_data &level)
{
  // What a map cannot hold (a start or an enemy off the grid, an enemy too
  // many) is left out of the picture; the checker names it.
  level_data shown = level;
  shown.start_x = std::clamp(level.start_x, 0, GRID_SIZE - 1);
  shown.start_y = std::clamp(level.start_y, 0, GRID_SIZE - 1);
  shown.enemy_count = 0;
  for (int i = 0; i < std::min(level.enemy_count, (int32_t)MAX_ENEMIES); i++)
    if (on_grid(level.enemies[i].x, level.enemies[i].y))
      shown.enemies[shown.enemy_count++] = level.enemies[i];
  byte_buffer map = encode_map(shown);
  reset_world();
  load_map_bytes(map.data(), (long)map.size());
}

void draw_editor_view(const edit_model &model, const editor_camera &camera)
{
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  if (camera.preset == EDITING_CAMERA)
    look_at_cursor(model, camera);
  else
    look_as_player(model, camera);
  draw_level();
  draw_marks(model);
}
