// Recordings of games in the key-script format, one run-length line for each
// stretch of updates that read the same keys.
#include "replay/replay.h"
#include "base/base.h"

#include <allegro.h>
#include <string>
#include <vector>

namespace {

const char RECORDING_HEADER[] = "# pilko recording: level ";

// Playing back.
std::vector<key_run> replay_runs;
bool replay_loaded = false;
size_t replay_run = 0;   // the run being played
long replay_tick = 0;    // updates played of it

// Recording: the keys of the game being played, noted in every game, and
// where --record writes them when the game ends (the file holds the last
// recording until then).
std::vector<key_run> game_keys;
std::string record_path;
std::string record_level;

// The level named on the recording's first line, or "" when there is none.
std::string header_level(const std::string &text)
{
  const size_t start = sizeof RECORDING_HEADER - 1;
  if (text.compare(0, start, RECORDING_HEADER) != 0)
    return "";
  return text.substr(start, text.find_first_of("\r\n", start) - start);
}

}  // namespace

bool load_replay(const char *path, const char **level)
{
  std::string text;
  if (!read_key_script_file(path, text))
    return false;
  static std::string named_level;
  named_level = header_level(text);
  replay_runs.clear();  // the runs of this file alone, whatever was read before
  replay_loaded = read_key_script(text, path, replay_runs, stderr);
  if (!named_level.empty())
    *level = named_level.c_str();
  return replay_loaded;
}

bool start_recording(const char *path, const char *level)
{
  std::string error;
  if (!can_replace_file(path, error)) {
    report_file_problem(path, error);
    return false;
  }
  record_path = path;
  record_level = level ? level : "1";
  return true;
}

bool replaying() { return replay_loaded; }

void begin_recorded_game()
{
  replay_run = 0;
  replay_tick = 0;
  game_keys.clear();
}

void keys_for_update()
{
  if (replay_loaded) {
    hold_script_keys(replay_over() ? 0 : replay_runs[replay_run].keys);
    key[KEY_F12] = 0;  // a replay takes no screenshots of its own
    if (!replay_over() && ++replay_tick == replay_runs[replay_run].ticks) {
      replay_run++;
      replay_tick = 0;
    }
  }
  uint32_t keys = held_script_keys();
  if (!game_keys.empty() && game_keys.back().keys == keys && game_keys.back().ticks < MAX_TICKS_PER_LINE)
    game_keys.back().ticks++;
  else
    game_keys.push_back(key_run{1, keys, 0});
}

bool replay_over() { return replay_loaded && replay_run == replay_runs.size(); }

void end_recorded_game()
{
  if (record_path.empty())
    return;
  std::string text = RECORDING_HEADER + record_level + "\n" + key_script_text(game_keys);
  std::string error;
  if (!replace_file(record_path, byte_buffer(text.begin(), text.end()), error))
    report_problem("warning: " + printable(record_path) + ": " + error + "; this game is not recorded");
}

const std::vector<key_run> &last_game_keys() { return game_keys; }
