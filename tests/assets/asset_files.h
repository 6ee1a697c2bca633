// Shared helpers of the asset tests.
#pragma once

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline const char *const texture_names[] = {"gras.bmp",  "stonefloor.bmp", "kez.bmp",
                                            "metal.bmp", "lava.bmp",       "enemy.bmp"};
inline const char *const picture_names[] = {"logo.tga", "title.tga", "gameover.tga"};
inline const char *const sample_names[] = {"get_drop.wav", "jump.wav", "land.wav", "end.wav",
                                           "lava.wav"};

inline std::string data_file(const std::string &name) { return PILKO_DATA_DIR "/" + name; }

inline std::vector<unsigned char> read_bytes(const std::string &path)  // empty if unreadable
{
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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
