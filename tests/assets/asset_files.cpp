// Shared helpers of the asset tests.
#include "tests/assets/asset_files.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

const char *const data_dir = PILKO_DATA_DIR;
const char *const build_dir = PILKO_BUILD_DIR;
const char *const texture_names[6] = {"gras.bmp",  "stonefloor.bmp", "kez.bmp",
                                      "metal.bmp", "lava.bmp",       "enemy.bmp"};
const char *const picture_names[3] = {"logo.tga", "title.tga", "gameover.tga"};
const char *const sample_names[5] = {"get_drop.wav", "jump.wav", "land.wav", "end.wav",
                                     "lava.wav"};

std::string data_file(const std::string &name) { return std::string(data_dir) + "/" + name; }

std::vector<unsigned char> read_bytes(const std::string &path)
{
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string command_output(const std::string &command)
{
  std::string out;
  FILE *pipe = popen(command.c_str(), "r");
  if (!pipe)
    return out;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    out.append(buffer, n);
  pclose(pipe);
  return out;
}

std::string make_temp_folder()
{
  char pattern[] = "/tmp/pilko-assets-XXXXXX";
  const char *folder = mkdtemp(pattern);
  return folder ? folder : "";
}

void remove_folder(const std::string &folder)
{
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

bool is_power_of_two(int n) { return n > 0 && (n & (n - 1)) == 0; }
