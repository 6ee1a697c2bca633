// The rules of a game's start and a level's end, in one place: the start
// values, the tick, the phases of the level-complete sequence, and the steps
// that the game's flow, the renderer and the simulator all take. Plain C++
// only (no Allegro, no OpenGL), so that the picture maker can share the
// screen's layout.
#pragma once

#include <cstdint>

// ---- The screen and the pictures shown on it --------------------------------

constexpr int SCREEN_WIDTH = 640;   // the designed full-screen mode, and the picture's shape
constexpr int SCREEN_HEIGHT = 480;
// The game-over picture, drawn at (GAME_OVER_X, GAME_OVER_Y) from the top
// left corner: its size centres it on the screen.
constexpr int GAME_OVER_WIDTH = 318;
constexpr int GAME_OVER_HEIGHT = 54;
constexpr int GAME_OVER_X = 161;
constexpr int GAME_OVER_Y = 213;
static_assert(2 * GAME_OVER_X + GAME_OVER_WIDTH == SCREEN_WIDTH &&
              2 * GAME_OVER_Y + GAME_OVER_HEIGHT == SCREEN_HEIGHT,
              "the game-over picture is centred on the screen");
// The campaign-complete picture, shown when the last level is done, the
// same way: centred on a cleared screen.
constexpr int CAMPAIGN_COMPLETE_WIDTH = 420;
constexpr int CAMPAIGN_COMPLETE_HEIGHT = 64;
constexpr int CAMPAIGN_COMPLETE_X = (SCREEN_WIDTH - CAMPAIGN_COMPLETE_WIDTH) / 2;
constexpr int CAMPAIGN_COMPLETE_Y = (SCREEN_HEIGHT - CAMPAIGN_COMPLETE_HEIGHT) / 2;

// ---- A game -----------------------------------------------------------------

constexpr int TICK_MS = 40;        // one world tick: 25 a second
constexpr int32_t START_LEVEL = 1;
constexpr int32_t START_LIVES = 3;
constexpr int START_CAMERA = 1;    // the preset of key 2

// ---- The level-complete sequence ---------------------------------------------
// level_phase is PHASE_PLAYING in play. When no drop is left the level loop
// sets it to 1; every world update then adds 1. Frames up to PHASE_LAST_RISE
// raise and turn the hero; the frame that sees a phase above PHASE_LAST sets
// PHASE_ADVANCE, and the level loop's next pass loads the next level.

constexpr int32_t PHASE_PLAYING = 0;
constexpr int32_t PHASE_FIRST = 1;
constexpr int32_t PHASE_LAST_RISE = 89;
constexpr int32_t PHASE_LAST = 90;
constexpr int32_t PHASE_ADVANCE = -1;
constexpr float END_RISE_STEP = 0.1f;  // world units the hero rises a frame
constexpr float END_SPIN_STEP = 5.0f;  // degrees the hero turns a frame

// Where every game starts: level first_level of the campaign (START_LEVEL
// unless the player chose another), or, when single_map is set, that map
// file alone, whose end goes back to the title as a won game does.
extern int32_t first_level;
extern const char *single_map;

// A new game: the world reset, camera preset START_CAMERA, level
// first_level, START_LIVES lives, the level being played and the hero at
// rest (no rise, no spin). The caller loads the first map.
void start_new_game();
// Formats map_path for level_number (or takes single_map) and loads it;
// load_map's result.
int load_current_level();
// The map file being played: map_path in the campaign, single_map in full
// otherwise (a path of any length, which map_path's buffer would cut).
const char *current_map_path();
// After a failed load_current_level: says on stderr which map could not be
// read, why, and what happens next (after), unless the map was simply
// missing (the designed end of a campaign).
void report_unreadable_map(const char *after);
// Begins the level-complete sequence when no drop is left in play: phase
// PHASE_FIRST, rise and spin from 0, snd_end. True when it began.
bool begin_level_complete();
// True while a frame draws the hero risen by end_zoom and turned by end_spin.
bool hero_rises();
// The frame's step of the sequence, after the hero is drawn: one rise and
// turn more while the hero rises; past PHASE_LAST the sequence is over.
void step_level_end();
// True once the sequence is over and the next level is due.
bool level_has_ended();
// What the level loop does first in each pass: begins the sequence, or
// loads the next level once it is over (quit_request when there is none).
// True when the next level has been loaded and play goes on there.
bool handle_level_completion();
// True when the last game ended because its last level was completed and
// the campaign has no map after it: the game is won.
bool campaign_complete();
// True when the game is lost: no life left.
bool no_lives_left();
// True when no drop lies on the grid: the level was won by collecting them
// all, not skipped with TAB and END (which leaves them where they are).
bool every_drop_collected();
