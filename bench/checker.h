// The level checker's cost: the editor runs it after every change.
#pragma once

#include <string>
#include <vector>

// The slowest shipped level for the checker, and its time.
struct checker_figures {
  int level = 0;         // from 1, as the game numbers maps
  double median_ms = 0;  // check_level on the level in memory
  double p99_ms = 0;
};

// Runs check_level repeats times on each level file (read and parsed once,
// as the editor holds its level) and returns the slowest level's times.
checker_figures measure_checker(const std::vector<std::string> &level_files, int repeats);
