// Key scripts and replays: runs of ticks with the keys held in each, the
// records of a tick, a level played headless from a script (the simulator,
// the level compiler's verify), and the game's own recordings and replays,
// which are key scripts after a line naming their level.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// ---- Key scripts ---------------------------------------------------------------

// One script line: hold exactly these keys for this many ticks.
struct key_run {
  long ticks;
  uint32_t keys;  // one bit per script key, in the order the script names list them
  int line;       // line number in the script, from 1
};

// Largest tick count one line may ask for (about 11 hours of play).
constexpr long MAX_TICKS_PER_LINE = 1000000;
// Largest script read: far more than any level needs.
constexpr long MAX_SCRIPT_BYTES = 1 << 20;

// Holds exactly the script keys whose bits are set in keys, in Allegro's key
// array, and lets the others go.
void hold_script_keys(uint32_t keys);
// The bits of the script keys that Allegro's key[] holds down now.
uint32_t held_script_keys();
// The runs as script lines, one a run: "COUNT KEY KEY ...".
std::string key_script_text(const std::vector<key_run> &runs);

// Reads a whole script from its text; on the first bad line writes
// "NAME:LINE:COLUMN: message" to errors and returns false.
bool read_key_script(const std::string &text, const char *name, std::vector<key_run> &runs, FILE *errors);
// Reads the text of the script file at path ("-" for standard input), which
// must be a regular file (or a pipe for "-") of at most MAX_SCRIPT_BYTES; on
// failure says "PROGRAM: path: message" on stderr and returns false.
bool read_key_script_file(const char *path, std::string &text);
// Reads the script file at path as the two above do.
bool load_key_script(const char *path, std::vector<key_run> &runs, FILE *errors);

// ---- The records of a tick ---------------------------------------------------------

// "cell (3, 5), world (6.000, 10.000)" for the world position (x, y): a
// place in the cells authors write and in the world units the game uses.
std::string place_text(float x, float y);
// "tick N PLACE, z Z heading H STATE" (STATE: grounded, airborne, dead, paused).
std::string hero_record(long tick);
// "tick N enemy I PLACE, z Z direction R" for enemy slot i (I counts from 1,
// as the level text's enemy lines do).
std::string enemy_record(long tick, int i);

// ---- A level played headless ---------------------------------------------------------
// Through the game's own world update, without a display or sound, as the
// game plays it: 3 lives, camera preset 2, the level-complete pause once no
// drop is left, the game over when a revival spends the last life.

// What to print while playing; with log null nothing is printed.
struct play_options {
  FILE *log;
  bool trajectory;  // every tick's position, not only the events
  bool enemies;     // every enemy's position each tick
};

// The last death of a play: when, why and where.
struct death_record {
  long tick;        // 0: the hero never died
  std::string cause;  // "lava floor", "lava block" or "enemy N"
  std::string place;  // "cell (x, y), world (x, y)"
};

// How a play ended.
struct play_result {
  long ticks;
  int drops_left;
  int lives;
  bool completed;   // no drop was left
  bool skipped;     // completed by TAB and END, with drops still on the grid
  long completed_tick;
  bool game_over;   // the last life was spent
  std::string hero_place;
  death_record last_death;
};

// Starts Allegro without a display or sound; false (with a message on
// stderr) when it cannot.
bool start_headless();
// A new game on the map file at path, as the title screen starts one;
// false, with "PROGRAM: path: message" on stderr, when the map cannot be used.
bool start_game(const char *path);
// Plays the runs of keys from the start of the level to the end of the
// script, the end of the level or the game over.
play_result play_runs(const std::vector<key_run> &runs, const play_options &options);

// ---- The game's recordings and replays -----------------------------------------------

// Reads the recording at path for --replay, before any window opens; on a
// mistake says why on stderr ("file:line:column: ..." for a bad line) and
// returns false. level is set to the level the recording began on (a
// number or a file, as --level takes it); left as it is when it does not say.
bool load_replay(const char *path, const char **level);
// Makes --record write each game to path (the last game played is kept),
// naming level (null: level 1) as its start; false, with a line on stderr,
// when path cannot be written. path itself is left as it is until a game has
// been recorded.
bool start_recording(const char *path, const char *level);
// True while games are played back from a recording.
bool replaying();

// A game begins: its keys are noted afresh, a replay plays from its start.
void begin_recorded_game();
// Before each world update: a replay holds down the keys of this update
// (and only those); the keys held are noted, in every game.
void keys_for_update();
// True once a replay has played its last update.
bool replay_over();
// A game ends: its recording (with --record) replaces the file whole; when
// it cannot be written, one warning line, and the file keeps what it held.
void end_recorded_game();
// The keys of the last game played, as runs of the ticks that read the
// same keys (one run holds at most MAX_TICKS_PER_LINE).
const std::vector<key_run> &last_game_keys();
