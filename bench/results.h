// Every figure the benchmark measures, and how it prints them.
#pragma once

#include "bench/checker.h"
#include "bench/measure.h"

#include <cstdio>
#include <string>
#include <vector>

// Frames of one level from one camera preset, with the floor measured
// interleaved with them. Times in ms.
struct frame_group {
  int level = 0;   // from 1
  int camera = 0;  // preset key, 1 to 4
  int frames = 0;
  timing_summary render;  // render_frame alone
  timing_summary finish;  // render_frame and glFinish
  timing_summary swap;    // render_frame, glFinish and the buffer swap
  timing_summary floor;   // clears, one full-screen textured quad, glFinish, swap
  double cells_drawn = 0, enemies_drawn = 0;  // per frame, after culling
  double page_faults = 0;  // minor page faults of the process per frame pair
  double fill_screens = 0; // fragments rasterised per frame, hidden ones too, in screens
};

// The first frames after start-up against the same frames drawn again.
struct warmup_figures {
  int frames = 0;  // in each half
  timing_summary first, rest, first_floor, rest_floor;  // ms, with the swap
  double first_page_faults = 0, rest_page_faults = 0;   // per frame pair
};

// The real game in a scripted session on the test display.
struct session_figures {
  bool ran = false;
  std::string problem;              // why it did not run to its end
  double start_to_picture_ms = 0;   // process start to the logo on screen
  double key_to_title_ms = 0;       // key at the logo to the title on screen
  double start_to_title_ms = 0;     // the two above: start-up without the wait at the logo
  double space_to_frame_ms = 0;     // SPACE at the title to level 1's first frame
  double play_seconds = 0;          // length of the play that CPU time is measured over
  double core_share = 0;            // CPU seconds per second of play
  double frames_per_second = 0;     // buffer swaps per second of play
  double wakeups_per_second = 0;    // times a thread of the game went to sleep, per second of play
  double peak_rss_anon_mb = 0;      // sampled RssAnon, highest
  double peak_rss_mb = 0;           // VmHWM: the kernel's peak of the whole RSS
};

struct bench_figures {
  std::string cpu_model, mesa_version, gl_renderer;
  int cores = 0;
  // The screen measured on: its size, the 4:3 picture's in it, and whether
  // it is the designed full-screen 640 x 480 mode.
  int display_width = 0, display_height = 0;
  int picture_width = 0, picture_height = 0;
  bool designed_mode = true;
  std::string load_before, load_after;  // /proc/loadavg at start and end
  std::vector<frame_group> groups;
  warmup_figures warmup;
  long ticks = 0;
  double tick_ns = 0;                // world_update, ns per tick
  std::vector<double> load_map_us;   // per level, median of repeated loads
  double game_start_ms = 0;          // new game to its first frame on screen, in-process
  checker_figures checker;           // check_level on the slowest shipped level
  session_figures session;
};

// The group with the highest median ratio of the frame with swap to the floor.
const frame_group *worst_group(const bench_figures &figures);
// Prints the table of every figure with the goals.
void print_table(const bench_figures &figures, FILE *out);
// Writes the same figures as JSON; false when the file cannot be written.
bool write_json(const bench_figures &figures, const char *path);
