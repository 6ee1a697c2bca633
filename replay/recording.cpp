// Recordings of games in the key-script format, one run-length line for each
// stretch of updates that read the same keys.
#include "replay/replay.h"

#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char RECORDING_HEADER[] = "# pilko recording: level ";

// Playing back.
std::vector<key_run> replay_runs;
bool replay_loaded = false;
size_t replay_run = 0;   // the run being played
long replay_tick = 0;    // updates played of it

// Recording.
std::string record_path;
std::string record_level;
FILE *record_file = nullptr;
long run_ticks = 0;      // length of the run being noted
uint32_t run_keys = 0;

// The level named on the recording's first line, or "" when there is none.
std::string header_level(const std::string &text)
{
  const size_t start = sizeof RECORDING_HEADER - 1;
  if (text.compare(0, start, RECORDING_HEADER) != 0)
    return "";
  std::string level = text.substr(start, text.find('\n', start) - start);
  while (!level.empty() && level.back() == '\r')
    level.pop_back();
  return level;
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
  FILE *out = std::fopen(path, "w");
  if (!out) {
    std::fprintf(stderr, "pilko: cannot write %s: %s\n", path, std::strerror(errno));
    return false;
  }
  std::fclose(out);
  record_path = path;
  record_level = level ? level : "1";
  return true;
}

bool replaying() { return replay_loaded; }

void begin_recorded_game()
{
  replay_run = 0;
  replay_tick = 0;
  if (record_path.empty())
    return;
  record_file = std::fopen(record_path.c_str(), "w");
  if (!record_file) {
    std::fprintf(stderr, "pilko: warning: cannot write %s: %s; this game is not recorded\n",
                 record_path.c_str(), std::strerror(errno));
    return;
  }
  std::fprintf(record_file, "%s%s\n", RECORDING_HEADER, record_level.c_str());
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
  if (!record_file)
    return;
  uint32_t keys = held_script_keys();
  if (run_ticks > 0 && (keys != run_keys || run_ticks == MAX_TICKS_PER_LINE)) {
    write_key_run(record_file, run_ticks, run_keys);
    run_ticks = 0;
  }
  run_keys = keys;
  run_ticks++;
}

bool replay_over() { return replay_loaded && replay_run == replay_runs.size(); }

void end_recorded_game()
{
  if (!record_file)
    return;
  if (run_ticks > 0)
    write_key_run(record_file, run_ticks, run_keys);
  std::fclose(record_file);
  record_file = nullptr;
}
