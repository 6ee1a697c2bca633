// The scene: OpenGL's state for the whole run, and one frame of the level
// being played, seen from the current camera and lit from above the hero.
#include "render/render.h"
#include "world/game_rules.h"
#include "world/world.h"

#include <alleggl.h>
#include <GL/glu.h>
#include <cmath>
#include <cstdint>

namespace {

constexpr double FIELD_OF_VIEW = 45.0;  // degrees, vertical
constexpr double NEAR_DISTANCE = 0.1;
constexpr double FAR_DISTANCE = 100.0;

constexpr float block_culling_radius = 4.0f;  // a cell's culling sphere
constexpr float enemy_culling_radius = 2.0f;  // an enemy's culling sphere
constexpr float flat_height_limit = 0.1f;     // lower cells are the flat tile
constexpr float SPHERE_LIFT = 1.0f;           // hero and enemies float this high
constexpr float CAMERA_BASE_TURN = 90.0f;     // degrees added to rot_z
constexpr float CELL_HALF_DIAGONAL_SQUARED = 2.0f;  // corner of the 2 x 2 footprint
constexpr float DROP_RISE = 0.5f;  // a drop floats this far above its cell's top
constexpr float PREPARATION_DISTANCE = 10.0f;  // prepare_frame_drawing's objects

// An enemy faces +x when moving toward +x (direction 1); each direction
// step turns it a quarter.
constexpr int64_t QUARTER_TURN = 90;
constexpr int64_t WHOLE_TURN = 360;

// Whether the bounding sphere may be seen (always, while culling is off).
bool may_be_visible(float x, float y, float z, float radius)
{
  return !frustum_culling_enabled || sphere_in_frustum(x, y, z, radius) != 0.0f;
}

// Radius of a cell's culling sphere, centred half-way up the cell. 4.0 holds
// the footprint (half-diagonal 1.41) and everything drawn up to 3.74 above or
// below the centre; taller blocks, deep cells and their drops get a sphere
// that still holds them, so that culling never hides what the view shows.
float cell_culling_radius(float height, int has_drop)
{
  float reach = std::fabs(0.5f * height) + (has_drop == 1 ? DROP_RISE : 0.0f);
  float needed = std::sqrt(CELL_HALF_DIAGONAL_SQUARED + reach * reach);
  return needed > block_culling_radius ? needed : block_culling_radius;
}

// Texture of a block kind; kinds without a texture draw untextured.
GLuint texture_of_kind(int kind)
{
  return kind >= 0 && kind < TEXTURE_COUNT ? textures[kind] : 0;
}

// One cell at the current matrix: its tile or block, then its drop.
void draw_cell(const map_cell &cell, int has_drop)
{
  glColor4f(1, 1, 1, 1);
  bool lava = cell.kind == KIND_LAVA;
  // Lava alone is sphere-mapped, so that it shimmers as the view moves.
  if (lava) {
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
  }
  glBindTexture(GL_TEXTURE_2D, texture_of_kind(cell.kind));
  if (cell.height < flat_height_limit)
    glCallList(tile_lists);
  else
    draw_block_box(cell.height);
  if (lava) {
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
  }
  if (has_drop == 1) {
    glPushMatrix();
    glTranslatef(0, 0, cell.height);
    glBindTexture(GL_TEXTURE_2D, textures[KIND_HERO_SKIN]);
    glCallList(drop_list);
    glPopMatrix();
  }
}

// The 25 x 25 cells, x outer and y inner, moving the matrix from cell to cell
// instead of pushing and popping it for each one.
void draw_grid()
{
  for (int x = 0; x < GRID_SIZE; x++) {
    for (int y = 0; y < GRID_SIZE; y++) {
      const map_cell &cell = level_map[x][y];
      int has_drop = drop_grid[x][y];
      if (may_be_visible(CELL_PITCH * x, CELL_PITCH * y, 0.5f * cell.height,
                         cell_culling_radius(cell.height, has_drop))) {
        draw_cell(cell, has_drop);
        frame_cells_drawn++;
      }
      glTranslatef(0, CELL_PITCH, 0);
    }
    glTranslatef(CELL_PITCH, -CELL_PITCH * GRID_SIZE, 0);
  }
}

// The enemies in use, each turned to face where it is going.
void draw_enemies()
{
  // The map loader bounds enemy_count; never read past the slots.
  int count = enemy_count < MAX_ENEMIES ? enemy_count : MAX_ENEMIES;
  for (int k = 0; k < count; k++) {
    const enemy &e = enemies[k];
    if (!may_be_visible(e.x, e.y, e.z, enemy_culling_radius))
      continue;
    glPushMatrix();
    glTranslatef(e.x, e.y, e.z + SPHERE_LIFT);
    glRotatef(enemy_facing(e.direction), 0, 0, 1);
    glCallList(enemy_list);
    glPopMatrix();
    frame_enemies_drawn++;
  }
}

}  // namespace

int frustum_culling_enabled = 1;
int frame_cells_drawn = 0;
int frame_enemies_drawn = 0;

float enemy_facing(int32_t direction)
{
  // In 64 bits, so that no stored direction overflows; reduced to within one
  // turn, which leaves the four directions' angles as they are.
  int64_t degrees = QUARTER_TURN * direction - QUARTER_TURN;
  return (float)(degrees % WHOLE_TURN);
}

void view_from_hero(const camera_preset &camera)
{
  glRotatef(camera.rot_x, 1, 0, 0);
  glRotatef(camera.rot_y, 0, 1, 0);
  glRotatef(camera.rot_z + CAMERA_BASE_TURN, 0, 0, 1);

  glPushMatrix();
  glTranslatef(camera.offset_x, camera.offset_y, camera.offset_z + SPHERE_LIFT);
  if (camera.mode == 0)
    glRotatef((float)hero_heading, 0, 0, 1);
  level_end_transform();
  // Also while the hero is dead: the light stays above its place. It is set
  // before anything is drawn, the hero included, so that the whole frame is
  // lit from the hero's place in this frame, not in the one before.
  glLightfv(GL_LIGHT1, GL_POSITION, hero_light_position);
  if (!hero_dead)
    glCallList(hero_list);
  glPopMatrix();

  if (camera.mode == 0) {
    glTranslatef(camera.offset_x - hero_x, camera.offset_y - hero_y, camera.offset_z - hero_z);
  } else {
    glTranslatef(camera.offset_x, camera.offset_y, camera.offset_z);
    glRotatef((float)-hero_heading, 0, 0, 1);
    glTranslatef(-hero_x, -hero_y, -hero_z);
  }
}

void setup_scene()
{
  allegro_gl_begin();
  use_picture_area();
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(FIELD_OF_VIEW, (double)screen_width / (double)screen_height, NEAR_DISTANCE,
                 FAR_DISTANCE);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glShadeModel(GL_SMOOTH);
  glClearColor(0, 0, 0, 0);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_CULL_FACE);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  // Only the status line blends, with this function; blending stays off.
  glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA);
  // Given with the identity modelview; every frame moves it above the hero.
  glLightfv(GL_LIGHT1, GL_AMBIENT, light_ambient);
  glLightfv(GL_LIGHT1, GL_DIFFUSE, light_diffuse);
  glLightfv(GL_LIGHT1, GL_POSITION, light_position);
  glEnable(GL_LIGHT1);
  glEnable(GL_LIGHTING);
  // Generation itself is switched on only while lava is drawn.
  glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  allegro_gl_end();
}

void render_frame()
{
  allegro_gl_begin();
  // The clear reaches the whole window, bars included; the frame, its area.
  use_picture_area();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  view_from_hero(*current_camera);
  draw_level();
  draw_status_line();
  allegro_gl_end();
}

void draw_level()
{
  frame_cells_drawn = frame_enemies_drawn = 0;
  // The camera's matrix is current: the planes come out in world coordinates.
  extract_frustum();
  glPushMatrix();
  draw_grid();
  glPopMatrix();
  draw_enemies();
}

float drawn_top(float height)
{
  return height < flat_height_limit ? 0.0f : height;
}

void light_from_above(float x, float y, float z)
{
  glPushMatrix();
  glTranslatef(x, y, z + SPHERE_LIFT);
  glLightfv(GL_LIGHT1, GL_POSITION, hero_light_position);
  glPopMatrix();
}

void draw_hero_at(float x, float y, float z)
{
  glPushMatrix();
  glTranslatef(x, y, z + SPHERE_LIFT);
  glCallList(hero_list);
  glPopMatrix();
}

void prepare_frame_drawing()
{
  allegro_gl_begin();
  glLoadIdentity();
  // Everything stands a little way in front of the camera, where it is drawn.
  glTranslatef(0, 0, -PREPARATION_DISTANCE);
  glCallList(hero_list);
  glCallList(enemy_list);
  draw_cell(map_cell{KIND_LAVA, 0, 0.0f}, 0);
  draw_cell(map_cell{KIND_STONE_FLOOR, 0, 1.0f}, 1);
  draw_status_line();
  glFinish();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  allegro_gl_end();
}

void level_end_transform()
{
  if (hero_rises()) {
    // Drawn with the values from before this frame's step.
    glTranslatef(0, 0, end_zoom);
    glRotatef(end_spin, 0, 0, 1);
  }
  step_level_end();
}
