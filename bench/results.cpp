// Every figure the benchmark measures, printed as one table and as JSON.
#include "bench/results.h"

#include <string>

namespace {

// The goals on this game's reference machine: 2 cores, llvmpipe.
constexpr double GOAL_MEDIAN_OVER_FLOOR = 1.3;
constexpr double GOAL_P99_OVER_FLOOR = 1.5;
// The first frames may not be slower than the same frames drawn later; the
// margin only absorbs the noise of a shared machine.
constexpr double GOAL_WARMUP_OVER_REST = 1.10;
constexpr double GOAL_TICK_NS = 1000;
constexpr double GOAL_START_TO_TITLE_MS = 250;
constexpr double GOAL_SPACE_TO_FRAME_MS = 50;
constexpr double GOAL_CORE_SHARE = 0.15;          // in the designed 640 x 480 mode
constexpr double GOAL_CORE_SHARE_DESKTOP = 1.0;   // at a desktop's size: under one core
constexpr double GOAL_RSS_ANON_MB = 24;
// The editor checks its level after every key: well inside a frame.
constexpr double GOAL_CHECKER_MS = 5;

const char *verdict(bool met) { return met ? "met" : "MISSED"; }

// The first and the rest of the warm-up as ratios to their own floors.
timing_summary warmup_first(const warmup_figures &w) { return ratio(w.first, w.first_floor); }
timing_summary warmup_rest(const warmup_figures &w) { return ratio(w.rest, w.rest_floor); }

void print_goal(FILE *out, const char *what, double value, const char *unit, const char *goal, bool met)
{
  std::fprintf(out, "  %-44s %10.3f %-6s %-12s %s\n", what, value, unit, goal, verdict(met));
}

void print_groups(const bench_figures &f, FILE *out)
{
  std::fprintf(out, "Frames (ms; x = over the floor measured interleaved; med/p95/p99/worst;\n"
                    "fill = fragments rasterised per frame, hidden ones too, in screens)\n");
  std::fprintf(out, "%-3s %-3s %5s %4s %4s %6s | %-23s | %-23s | %-23s | %-23s | %-19s\n", "lvl", "cam",
               "cells", "enem", "fill", "faults", "render_frame", "+ glFinish", "+ swap", "floor",
               "+ swap x floor");
  for (const frame_group &g : f.groups) {
    timing_summary x = ratio(g.swap, g.floor);
    std::fprintf(out, "%-3d %-3d %5.0f %4.1f %4.2f %6.1f | %5.2f %5.2f %5.2f %5.1f | %5.2f %5.2f %5.2f %5.1f | "
                 "%5.2f %5.2f %5.2f %5.1f | %5.2f %5.2f %5.2f %5.1f | %4.2f %4.2f %4.2f %4.2f\n",
                 g.level, g.camera, g.cells_drawn, g.enemies_drawn, g.fill_screens, g.page_faults,
                 g.render.median, g.render.p95, g.render.p99, g.render.worst,
                 g.finish.median, g.finish.p95, g.finish.p99, g.finish.worst,
                 g.swap.median, g.swap.p95, g.swap.p99, g.swap.worst,
                 g.floor.median, g.floor.p95, g.floor.p99, g.floor.worst,
                 x.median, x.p95, x.p99, x.worst);
  }
}

// A tiny JSON writer: objects of named numbers and strings, nested.
struct json_out {
  FILE *file;
  bool first = true;
  void key(const char *name)
  {
    std::fprintf(file, "%s\"%s\": ", first ? "" : ", ", name);
    first = false;
  }
  void number(const char *name, double value) { key(name); std::fprintf(file, "%.6g", value); }
  void text(const char *name, const std::string &value)
  {
    key(name);
    std::fputc('"', file);
    for (char c : value)
      if (c == '"' || c == '\\')
        std::fprintf(file, "\\%c", c);
      else if ((unsigned char)c >= 0x20)
        std::fputc(c, file);
    std::fputc('"', file);
  }
  void open(const char *name)
  {
    if (name)
      key(name);
    else if (!first)
      std::fprintf(file, ", ");
    std::fputc('{', file);
    first = true;
  }
  void close() { std::fputc('}', file); first = false; }
  void summary(const char *name, const timing_summary &s)
  {
    open(name);
    number("median", s.median), number("p95", s.p95), number("p99", s.p99), number("worst", s.worst);
    close();
  }
};

}  // namespace

const frame_group *worst_group(const bench_figures &f)
{
  const frame_group *worst = nullptr;
  for (const frame_group &g : f.groups)
    if (!worst || ratio(g.swap, g.floor).median > ratio(worst->swap, worst->floor).median)
      worst = &g;
  return worst;
}

void print_table(const bench_figures &f, FILE *out)
{
  std::fprintf(out, "\npilko benchmark on %s (%d cores), %s, %s\n", f.cpu_model.c_str(), f.cores,
               f.gl_renderer.c_str(), f.mesa_version.c_str());
  std::fprintf(out, "screen: %d x %d, the picture %d x %d in it (%s)\n", f.display_width, f.display_height,
               f.picture_width, f.picture_height,
               f.designed_mode ? "the designed full-screen mode" : "full screen at the desktop's size");
  std::fprintf(out, "load average: %s before, %s after\n\n", f.load_before.c_str(), f.load_after.c_str());
  print_groups(f, out);

  std::fprintf(out, "\nGoals (worst level and camera by median ratio to the floor)\n");
  if (const frame_group *w = worst_group(f)) {
    timing_summary x = ratio(w->swap, w->floor);
    std::string where = "level " + std::to_string(w->level) + " camera " + std::to_string(w->camera);
    std::fprintf(out, "  worst: %s, frame with swap %.2f ms median, %.2f ms p99; floor %.2f / %.2f ms\n",
                 where.c_str(), w->swap.median, w->swap.p99, w->floor.median, w->floor.p99);
    std::fprintf(out, "  its fill: %.2f screens of fragments a frame, the floor's 1; render_frame alone %.2f ms\n",
                 w->fill_screens, w->render.median);
    print_goal(out, "frame with swap median / floor median", x.median, "x", "<= 1.3",
               x.median <= GOAL_MEDIAN_OVER_FLOOR);
    print_goal(out, "frame with swap p99 / floor p99", x.p99, "x", "<= 1.5", x.p99 <= GOAL_P99_OVER_FLOOR);
  }
  const warmup_figures &w = f.warmup;
  timing_summary first = warmup_first(w), rest = warmup_rest(w);
  std::fprintf(out, "  warm-up: first %d frames %.2f ms median %.2f p95 (floor %.2f); "
               "the same again %.2f / %.2f (floor %.2f); page faults per frame %.1f, then %.1f\n",
               w.frames, w.first.median, w.first.p95, w.first_floor.median, w.rest.median, w.rest.p95,
               w.rest_floor.median, w.first_page_faults, w.rest_page_faults);
  print_goal(out, "first frames median over the same again", first.median / rest.median, "x",
             "<= 1.10", first.median / rest.median <= GOAL_WARMUP_OVER_REST);
  print_goal(out, "first frames p95 over the same again", first.p95 / rest.p95, "x", "<= 1.10",
             first.p95 / rest.p95 <= GOAL_WARMUP_OVER_REST);
  print_goal(out, "world_update per tick", f.tick_ns, "ns", "< 1000", f.tick_ns < GOAL_TICK_NS);
  std::fprintf(out, "    (%ld ticks: every solution, then seeded random keys)\n", f.ticks);
  print_goal(out, "level checker, slowest level (median)", f.checker.median_ms, "ms", "< 5",
             f.checker.median_ms < GOAL_CHECKER_MS);
  std::fprintf(out, "    (level %d, p99 %.3f ms; the editor checks after every change)\n", f.checker.level,
               f.checker.p99_ms);
  const session_figures &s = f.session;
  if (s.ran) {
    print_goal(out, "process start to title (no wait at logo)", s.start_to_title_ms, "ms", "< 250",
               s.start_to_title_ms < GOAL_START_TO_TITLE_MS);
    print_goal(out, "SPACE to level 1's first frame", s.space_to_frame_ms, "ms", "< 50",
               s.space_to_frame_ms < GOAL_SPACE_TO_FRAME_MS);
    if (f.designed_mode)
      print_goal(out, "CPU during play", s.core_share, "cores", "<= 0.15", s.core_share <= GOAL_CORE_SHARE);
    else
      print_goal(out, "CPU during play", s.core_share, "cores", "< 1", s.core_share < GOAL_CORE_SHARE_DESKTOP);
    print_goal(out, "peak RssAnon", s.peak_rss_anon_mb, "MB", "< 24", s.peak_rss_anon_mb < GOAL_RSS_ANON_MB);
  } else {
    std::fprintf(out, "  real game session: not measured (%s)\n", s.problem.c_str());
  }

  std::fprintf(out, "\nOther figures\n");
  double slowest_load = 0;
  for (double us : f.load_map_us)
    slowest_load = us > slowest_load ? us : slowest_load;
  std::fprintf(out, "  load_map, slowest level (median of repeats)  %10.1f us\n", slowest_load);
  std::fprintf(out, "  new game to first frame, in-process         %10.2f ms (without the 40 ms wait for the first tick)\n",
               f.game_start_ms);
  if (s.ran) {
    std::fprintf(out, "  process start to first picture (logo)       %10.1f ms\n", s.start_to_picture_ms);
    std::fprintf(out, "  key at the logo to title                    %10.1f ms\n", s.key_to_title_ms);
    std::fprintf(out, "  peak RSS (VmHWM)                            %10.1f MB\n", s.peak_rss_mb);
    std::fprintf(out, "  frames per second during play               %10.1f over %.1f s\n",
                 s.frames_per_second, s.play_seconds);
    std::fprintf(out, "  thread wake-ups per second during play      %10.0f\n", s.wakeups_per_second);
  }
}

bool write_json(const bench_figures &f, const char *path)
{
  FILE *file = std::fopen(path, "w");
  if (!file)
    return false;
  json_out j{file};
  j.open(nullptr);
  j.open("machine");
  j.text("cpu", f.cpu_model), j.number("cores", f.cores), j.text("renderer", f.gl_renderer);
  j.text("mesa", f.mesa_version), j.text("load_before", f.load_before), j.text("load_after", f.load_after);
  j.close();
  j.open("screen");
  j.number("width", f.display_width), j.number("height", f.display_height);
  j.number("picture_width", f.picture_width), j.number("picture_height", f.picture_height);
  j.number("designed_mode", f.designed_mode);
  j.close();
  j.key("frames");
  std::fputc('[', file);
  j.first = true;
  for (const frame_group &g : f.groups) {
    j.open(nullptr);
    j.number("level", g.level), j.number("camera", g.camera), j.number("frames", g.frames);
    j.number("cells_drawn", g.cells_drawn), j.number("enemies_drawn", g.enemies_drawn);
    j.number("page_faults_per_frame", g.page_faults), j.number("fill_screens", g.fill_screens);
    j.summary("render_ms", g.render), j.summary("finish_ms", g.finish), j.summary("swap_ms", g.swap);
    j.summary("floor_ms", g.floor);
    j.summary("render_over_floor", ratio(g.render, g.floor));
    j.summary("finish_over_floor", ratio(g.finish, g.floor));
    j.summary("swap_over_floor", ratio(g.swap, g.floor));
    j.close();
  }
  std::fputc(']', file);
  j.first = false;
  j.open("warmup");
  j.number("frames", f.warmup.frames);
  j.summary("first_ms", f.warmup.first), j.summary("rest_ms", f.warmup.rest);
  j.summary("first_floor_ms", f.warmup.first_floor), j.summary("rest_floor_ms", f.warmup.rest_floor);
  j.number("first_page_faults_per_frame", f.warmup.first_page_faults);
  j.number("rest_page_faults_per_frame", f.warmup.rest_page_faults);
  j.close();
  j.open("world_update");
  j.number("ticks", (double)f.ticks), j.number("ns_per_tick", f.tick_ns);
  j.close();
  j.key("load_map_us");
  std::fputc('[', file);
  for (size_t i = 0; i < f.load_map_us.size(); i++)
    std::fprintf(file, "%s%.3f", i ? ", " : "", f.load_map_us[i]);
  std::fputc(']', file);
  j.number("game_start_to_first_frame_ms", f.game_start_ms);
  j.open("level_checker");
  j.number("level", f.checker.level), j.number("median_ms", f.checker.median_ms), j.number("p99_ms", f.checker.p99_ms);
  j.close();
  const session_figures &s = f.session;
  j.open("game_session");
  j.number("ran", s.ran), j.text("problem", s.problem);
  j.number("start_to_picture_ms", s.start_to_picture_ms), j.number("key_to_title_ms", s.key_to_title_ms);
  j.number("start_to_title_ms", s.start_to_title_ms), j.number("space_to_frame_ms", s.space_to_frame_ms);
  j.number("play_seconds", s.play_seconds), j.number("core_share", s.core_share);
  j.number("frames_per_second", s.frames_per_second);
  j.number("wakeups_per_second", s.wakeups_per_second);
  j.number("peak_rss_anon_mb", s.peak_rss_anon_mb), j.number("peak_rss_mb", s.peak_rss_mb);
  j.close();
  j.close();
  std::fputc('\n', file);
  return std::fclose(file) == 0;
}
