// Shared helpers of the asset tests: the data files' names and whole files come from the kit.
#pragma once

#include "assets/asset_files.h"
#include "tools/asset-kit/files.h"

#include <cstdio>
#include <string>
#include <vector>

inline std::string data_file(const std::string &name) { return PILKO_DATA_DIR "/" + name; }

inline std::string command_output(const std::string &command)  // its standard output
{
  std::string out;
  FILE *pipe = popen(command.c_str(), "r");
  char buffer[4096];
  for (size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    out.append(buffer, n);
  if (pipe)
    pclose(pipe);
  return out;
}
