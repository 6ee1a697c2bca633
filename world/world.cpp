// The world's global state with its initial values, and reset_world.
#include "world/world.h"
#include "world/game_rules.h"
#include "world/physics.h"

int32_t screen_width = SCREEN_WIDTH;
int32_t screen_height = SCREEN_HEIGHT;
int32_t level_number = START_LEVEL;
int32_t hud_font = 1;
int32_t enemy_count = 0;
int32_t quit_request = 0;

camera_preset camera_presets[CAMERA_PRESET_COUNT] = {
  // mode, offset x, y, z, rotation x, y, z
  {0, 3.6f, 0.0f, -15.0f, -16.0f, 0.0f, 0.0f},   // key 1
  {1, 3.2f, 0.0f, -10.0f, -23.0f, 0.0f, 0.0f},   // key 2, each game starts here
  {1, 3.0f, 0.0f, -6.2f, -40.0f, 0.0f, 0.0f},    // key 3
  {0, 3.4f, 1.6f, -13.0f, -17.0f, 0.0f, -25.5f}, // key 4
};

float light_ambient[4] = {0.6f, 0.6f, 0.6f, 1.0f};
float light_diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
float light_position[4] = {0.0f, 1.0f, 0.0f, 1.0f};
float hero_light_position[4] = {0.0f, 0.0f, 2.2f, 1.0f};
int32_t level_phase = PHASE_PLAYING;

map_cell level_map[GRID_SIZE][GRID_SIZE];
int32_t drop_grid[GRID_SIZE][GRID_SIZE];
int32_t drops_left;
char map_path[MAP_PATH_SIZE];

float hero_x, hero_y, hero_z;
int32_t hero_heading;
float hero_speed;
int32_t turn_step;
int32_t start_x, start_y;
float hero_vz;
int32_t hero_airborne;
int32_t hero_dead;
int32_t fatal_lava_block_x, fatal_lava_block_y;
int32_t lives;

enemy enemies[MAX_ENEMIES];

std::atomic<int32_t> tick_count{0};

camera_preset *current_camera;
float end_zoom, end_spin;

SAMPLE *snd_get_drop, *snd_jump, *snd_land, *snd_end, *snd_lava;
MIDI *music;

void reset_world()
{
  hero_heading = 0;
  turn_step = TURN_STEP;
  start_x = 4;
  start_y = 4;
  hero_airborne = 0;
  hero_dead = 0;
  tick_count = 0;  // ticks that piled up while the level loaded are dropped
  hero_x = 4.0f;
  hero_y = 4.0f;
  hero_z = 0.0f;
  hero_speed = HERO_SPEED;
  hero_vz = 0.0f;
  for (enemy &e : enemies) {
    e.direction = NO_ENEMY;
    e.x = e.y = e.z = 0.0f;
    e.speed = ENEMY_SPEED;
  }
}
