// Running a shell command from a test: its exit status and what it printed.
#pragma once

#include <cstdio>
#include <string>
#include <sys/wait.h>

struct command_result {
  int status;          // the exit status; -1 when it did not exit
  std::string output;  // its standard output (add 2>&1 to the command for both)
};

inline command_result run_command(const std::string &command)
{
  command_result result{-1, ""};
  FILE *pipe = popen(command.c_str(), "r");
  if (!pipe)
    return result;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    result.output.append(buffer, n);
  int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}
