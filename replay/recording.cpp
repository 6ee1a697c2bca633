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

// Recording: the game's lines gather here and are written out whole when it
// ends, so that the file holds the last recording until a new one is done.
std::string record_path;
std::string record_level;
bool recording = false;
std::string record_text;
long run_ticks = 0;      // length of the run being noted
uint32_t run_keys = 0;

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
  recording = !record_path.empty();
  record_text = RECORDING_HEADER + record_level + "\n";
  run_ticks = 0;
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
  if (!recording)
    return;
  uint32_t keys = held_script_keys();
  if (run_ticks > 0 && (keys != run_keys || run_ticks == MAX_TICKS_PER_LINE)) {
    record_text += key_run_line(run_ticks, run_keys);
    run_ticks = 0;
  }
  run_keys = keys;
  run_ticks++;
}

bool replay_over() { return replay_loaded && replay_run == replay_runs.size(); }

void end_recorded_game()
{
  if (!recording)
    return;
  recording = false;
  if (run_ticks > 0)
    record_text += key_run_line(run_ticks, run_keys);
  std::string error;
  if (!replace_file(record_path, byte_buffer(record_text.begin(), record_text.end()), error))
    report_problem("warning: " + printable(record_path) + ": " + error + "; this game is not recorded");
}
