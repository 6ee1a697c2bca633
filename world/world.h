// The game's state: configuration, the world of the level being played, and
// the sound handles. Plain globals, read and written directly by the game,
// the world update and the renderer (main thread only, except tick_count,
// which the timer thread also counts up). The renderer's own resources are
// declared in render/render.h.
#pragma once

#include "world/map_format.h"

#include <atomic>
#include <cstdint>

// Allegro's sample and MIDI types; the world only keeps their handles.
struct SAMPLE;
struct MIDI;

// ---- Fixed sizes (the grid's are in world/map_format.h) ---------------------

constexpr int CAMERA_PRESET_COUNT = 4;
constexpr int MAP_PATH_SIZE = 1024;  // buffer for "maps/map%d.map"

// ---- Records ---------------------------------------------------------------

// One camera view. mode 0 keeps the view's orientation and follows the hero's
// position; mode 1 also turns the view with the hero's heading.
struct camera_preset {
  int32_t mode;
  float offset_x, offset_y, offset_z;  // the camera's translation
  float rot_x, rot_y, rot_z;           // degrees about X, Y and Z
};

// One enemy slot; direction NO_ENEMY marks a free slot.
struct enemy {
  float x, y, z;
  int32_t direction;
  float speed;
};

// ---- Configuration: initialised values, written only where noted -----------

// SCREEN_WIDTH x SCREEN_HEIGHT: the full-screen mode's size in the designed
// mode, and everywhere the picture's own pixels, in which its contents are
// laid out before it is scaled into picture_area (render/render.h).
extern int32_t screen_width;
extern int32_t screen_height;
extern int32_t level_number;   // level being played (game flow)
extern int32_t hud_font;       // status-line bitmap font slot (start-up)
extern int32_t enemy_count;    // enemy slots in use (map loader)
extern int32_t quit_request;   // leave the level loop (level loop)
extern camera_preset camera_presets[CAMERA_PRESET_COUNT];
extern float light_ambient[4];
extern float light_diffuse[4];
extern float light_position[4];       // given once by scene set-up
extern float hero_light_position[4];  // given every frame above the hero
// The level-complete sequence's phase: PHASE_PLAYING, counting up through
// the sequence, PHASE_ADVANCE (world/game_rules.h says how).
extern int32_t level_phase;

// ---- World state of the level being played (zero at program start) ---------

extern map_cell level_map[GRID_SIZE][GRID_SIZE];  // [x][y], map loader
extern int32_t drop_grid[GRID_SIZE][GRID_SIZE];   // 1 where a drop lies
extern int32_t drops_left;
extern char map_path[MAP_PATH_SIZE];

extern float hero_x, hero_y;   // position in the plane, world units
extern float hero_z;           // height of the hero's feet
extern int32_t hero_heading;   // whole degrees, kept within 0..360
extern float hero_speed;       // distance per tick while walking
extern int32_t turn_step;      // degrees per tick while turning
extern int32_t start_x, start_y;  // revival point, world units
extern float hero_vz;          // what remains of the jump's rise
extern int32_t hero_airborne;  // 1 while jumping or falling
extern int32_t hero_dead;      // 1 from a fatal contact until revival
// The cell of the raised lava block that last killed the hero, as the walk
// tested it (the hero's place after the tick may point elsewhere). Kept
// until the next such death; the simulator names the place with it.
extern int32_t fatal_lava_block_x, fatal_lava_block_y;
extern int32_t lives;

extern enemy enemies[MAX_ENEMIES];

// Ticks pending: the timer thread adds 1 every 40 ms, the level loop and
// reset_world store 0. The only value two threads share.
extern std::atomic<int32_t> tick_count;
static_assert(std::atomic<int32_t>::is_always_lock_free, "tick_count must be lock-free");

extern camera_preset *current_camera;
extern float end_zoom;  // how far the hero has risen at level end
extern float end_spin;  // how far the hero has turned at level end

// ---- Sound and music, loaded once by start-up (null when a file is missing) -

extern SAMPLE *snd_get_drop;
extern SAMPLE *snd_jump;
extern SAMPLE *snd_land;
extern SAMPLE *snd_end;
extern SAMPLE *snd_lava;
extern MIDI *music;

// ---- Operations on the state itself -----------------------------------------

// Prepares the hero and the enemy slots for a freshly loaded level.
void reset_world();

