// The map loader: a flat file of little-endian 32-bit values, read whole and
// checked before any of it reaches the world state.
#include "world/map_load.h"
#include "base/base.h"
#include "world/map_format.h"
#include "world/world.h"

#include <cstdarg>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr long MAP_MAX_SIZE = map_file_size(MAX_ENEMIES);

int32_t read_int(const unsigned char *bytes, long offset) { return (int32_t)le32_at(bytes + offset); }

float read_float(const unsigned char *bytes, long offset) { return le_float_at(bytes + offset); }

bool on_grid(int32_t index) { return index >= 0 && index < GRID_SIZE; }

void clear_level()
{
  for (auto &column : level_map)
    for (map_cell &cell : column)
      cell = map_cell{0, 0, 0.0f};
  enemy_count = 0;
}

// The reason of the last failed load, and whether the file was simply absent.
char problem[160];
int missing;

// Notes why the load failed, formatted like printf; returns 0 for load_map.
__attribute__((format(printf, 1, 2))) int refuse(const char *format, ...)
{
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(problem, sizeof problem, format, arguments);
  va_end(arguments);
  return 0;
}

// Reads up to the largest valid map from path into bytes; 0, with the
// reason noted, when the file cannot be read. Only a regular file is read,
// so a FIFO or a device in the map's place is refused instead of waited on.
int read_map_file(const char *path, byte_buffer &bytes)
{
  bool absent = false;
  std::string error;
  int fd = open_regular_file(path, error, &absent);
  bool read = fd >= 0 && read_at_most(fd, MAP_MAX_SIZE, bytes, error);
  if (fd >= 0)
    close(fd);
  missing = absent;
  return read ? 1 : refuse("%s", error.c_str());
}

// 1 when the bytes hold a whole map whose values fit the world's tables;
// otherwise 0 with the first fault noted.
int check_map(const unsigned char *bytes, long size)
{
  if (size == 0)
    return refuse("empty file");
  if (size < MAP_ENEMIES_OFFSET)
    return refuse("too short: %ld bytes of at least %ld", size, MAP_ENEMIES_OFFSET);
  int32_t sx = read_int(bytes, MAP_START_X_OFFSET), sy = read_int(bytes, MAP_START_Y_OFFSET);
  if (!on_grid(sx) || !on_grid(sy))
    return refuse("start cell (%d, %d) off the grid", (int)sx, (int)sy);
  int32_t count = read_int(bytes, MAP_ENEMY_COUNT_OFFSET);
  if (count < 0 || count > MAX_ENEMIES)
    return refuse("bad enemy count %d (0 to %d)", (int)count, MAX_ENEMIES);
  long needed = map_file_size(count);
  if (size < needed)
    return refuse("too short: %ld bytes of at least %ld for %d enemies", size, needed, (int)count);
  for (int i = 0; i < count; i++) {
    long record = map_enemy_offset(i);
    int32_t cx = read_int(bytes, record + ENEMY_X_FIELD), cy = read_int(bytes, record + ENEMY_Y_FIELD);
    if (!on_grid(cx) || !on_grid(cy))
      return refuse("enemy %d's cell (%d, %d) off the grid", i + 1, (int)cx, (int)cy);
  }
  return 1;
}

void lay_out_drops()
{
  drops_left = 0;
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++) {
      drop_grid[x][y] = level_map[x][y].drop_marker == DROP_MARKER_DROP ? 1 : 0;
      drops_left += drop_grid[x][y];
    }
}

}  // namespace

int load_map(const char *path)
{
  clear_level();
  problem[0] = '\0';
  missing = 0;
  static byte_buffer file;
  // A damaged map is refused like a missing one: nothing of it is used.
  if (!read_map_file(path, file))
    return 0;
  return load_map_bytes(file.data(), (long)file.size());
}

int load_map_bytes(const unsigned char *bytes, long size)
{
  clear_level();
  problem[0] = '\0';
  missing = 0;
  if (!check_map(bytes, size))
    return 0;

  int32_t sx = read_int(bytes, MAP_START_X_OFFSET), sy = read_int(bytes, MAP_START_Y_OFFSET);
  start_x = 2 * sx;
  start_y = 2 * sy;
  hero_x = (float)(2 * sx);
  hero_y = (float)(2 * sy);

  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++) {
      long record = map_cell_offset(x, y);
      map_cell &cell = level_map[x][y];
      cell.height = read_float(bytes, record + CELL_HEIGHT_FIELD);
      cell.drop_marker = read_int(bytes, record + CELL_DROP_MARKER_FIELD);
      cell.kind = read_int(bytes, record + CELL_KIND_FIELD);
    }

  // Enemies come after the grid, so each takes the height of its start cell.
  enemy_count = read_int(bytes, MAP_ENEMY_COUNT_OFFSET);
  for (int i = 0; i < enemy_count; i++) {
    long record = map_enemy_offset(i);
    int32_t cx = read_int(bytes, record + ENEMY_X_FIELD), cy = read_int(bytes, record + ENEMY_Y_FIELD);
    enemies[i].direction = read_int(bytes, record + ENEMY_DIRECTION_FIELD);
    enemies[i].x = (float)(2 * cx);  // the centre of its start cell
    enemies[i].y = (float)(2 * cy);
    enemies[i].z = level_map[cx][cy].height;
  }

  lay_out_drops();
  return 1;
}

const char *map_load_problem()
{
  return problem;
}

int map_load_missing()
{
  return missing;
}
