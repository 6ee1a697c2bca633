// The level checker timed as the editor runs it: on a level in memory,
// with no text to point into.
#include "bench/checker.h"
#include "bench/measure.h"
#include "level/level.h"

#include <cstdio>

checker_figures measure_checker(const std::vector<std::string> &level_files, int repeats)
{
  checker_figures slowest;
  static level_data level;
  static level_sources sources;
  for (size_t i = 0; i < level_files.size(); i++) {
    std::string text;
    diagnostics messages;
    if (!read_level_file(level_files[i].c_str(), text) || !parse_level_text(text, level, sources, messages))
      continue;
    static const level_sources no_text{};
    std::vector<double> times;
    for (int r = 0; r < repeats; r++) {
      diagnostics findings;
      long long start = now_ns();
      check_level(level, no_text, findings);
      times.push_back(elapsed_ms(start, now_ns()));
    }
    timing_summary t = summarize(times);
    if (t.median > slowest.median_ms)
      slowest = checker_figures{(int)i + 1, t.median, t.p99};
  }
  return slowest;
}
