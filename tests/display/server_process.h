// Telling one X server process apart from any other, for the display tests.
#pragma once

#include <string>
#include <sys/types.h>

// One process, told apart from a later one that reuses its id by its start time.
struct process_identity {
  pid_t pid = 0;
  unsigned long long start_time = 0;
};

// The running process with this id; pid 0 if none.
process_identity identify(pid_t pid);
// The live server that holds display ":N" (by its lock file); pid 0 if none.
process_identity display_server(const std::string &display);
// Whether the process still runs (a zombie has ended: it holds nothing any more).
bool still_runs(const process_identity &process);
// Written as "PID START_TIME", and read back.
std::string identity_text(const process_identity &process);
process_identity identity_from_text(const std::string &text);
