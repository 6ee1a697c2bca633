// One input through the map loader and through the picture check (see
// fuzz_inputs.h).
#include "fuzz/fuzz_inputs.h"

#include "world/map_load.h"
#include "world/world.h"
#include "render/picture_file.h"

#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <unistd.h>

std::string write_input(const char *suffix, const uint8_t *data, size_t size)
{
  const char *base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/pilko-fuzz-XXXXXX" + suffix;
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = mkstemps(name.data(), (int)std::string(suffix).size());
  check(fd >= 0, "a temporary file for the input");
  check(write(fd, data, size) == (ssize_t)size && close(fd) == 0, "the input is written");
  return name.data();
}

namespace {

bool on_grid(float world) { return world >= 0.0f && world <= 2.0f * (GRID_SIZE - 1); }

// Allegro without a display: its loaders only need the system driver.
void start_allegro_once()
{
  static bool started = false;
  if (started)
    return;
  check(install_allegro(SYSTEM_NONE, &errno, std::atexit) == 0, "Allegro starts");
  set_color_depth(24);
  set_color_conversion(COLORCONV_NONE);
  started = true;
}

uint32_t read_u16(const uint8_t *p) { return (uint32_t)p[0] | (uint32_t)p[1] << 8; }

// Checks the bytes as a picture of the kind that suffix names; an accepted
// picture goes on through Allegro's own loader, which must read it at the
// size its header gives.
bool picture_accepted(const char *suffix, const uint8_t *data, size_t size)
{
  if (picture_problem(suffix, data, size, (long long)size))
    return false;
  start_allegro_once();
  std::string path = write_input(suffix, data, size);
  BITMAP *picture = load_bitmap(path.c_str(), nullptr);
  unlink(path.c_str());
  check(picture != nullptr, "Allegro reads an accepted picture");
  bool tga = suffix[1] == 't';
  int width = tga ? (int)read_u16(data + 12) : (int)(read_u16(data + 18) | read_u16(data + 20) << 16);
  int height = tga ? (int)read_u16(data + 14) : (int)(read_u16(data + 22) | read_u16(data + 24) << 16);
  check(picture->w == width && picture->h == height, "the picture has its header's size");
  destroy_bitmap(picture);
  return true;
}

}  // namespace

bool fuzz_map_input(const uint8_t *data, size_t size)
{
  std::string path = write_input(".map", data, size);
  reset_world();
  int loaded = load_map(path.c_str());
  unlink(path.c_str());
  if (!loaded) {
    check(map_load_problem()[0] != '\0', "a refused map has a reason");
    check(enemy_count == 0, "a refused map leaves no enemies");
    return false;
  }
  check(enemy_count >= 0 && enemy_count <= MAX_ENEMIES, "enemy count in 0..10");
  check(on_grid(hero_x) && on_grid(hero_y), "the hero starts on the grid");
  for (int i = 0; i < enemy_count; i++)
    check(on_grid(enemies[i].x) && on_grid(enemies[i].y), "every enemy starts on the grid");
  check(drops_left >= 0 && drops_left <= GRID_SIZE * GRID_SIZE, "drops within the grid");
  return true;
}

bool fuzz_picture_input(const uint8_t *data, size_t size)
{
  bool tga = picture_accepted(".tga", data, size);
  bool bmp = picture_accepted(".bmp", data, size);
  return tga || bmp;
}
