// The map loader: a flat file of little-endian 32-bit values, read whole and
// checked before any of it reaches the world state.
#include "world/map_load.h"
#include "world/map_format.h"
#include "world/world.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr long MAP_MAX_SIZE = map_file_size(MAX_ENEMIES);

// Reads the 32-bit little-endian word at offset of the file's bytes.
uint32_t read_word(const unsigned char *bytes, long offset)
{
  const unsigned char *p = bytes + offset;
  return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

int32_t read_int(const unsigned char *bytes, long offset)
{
  return (int32_t)read_word(bytes, offset);
}

float read_float(const unsigned char *bytes, long offset)
{
  uint32_t word = read_word(bytes, offset);
  float value;
  std::memcpy(&value, &word, sizeof value);
  return value;
}

bool on_grid(int32_t index) { return index >= 0 && index < GRID_SIZE; }

void clear_level()
{
  for (auto &column : level_map)
    for (map_cell &cell : column)
      cell = map_cell{0, 0, 0.0f};
  enemy_count = 0;
}

// Reads up to the largest valid map into bytes; returns the number read.
long read_map_bytes(FILE *file, unsigned char *bytes)
{
  return (long)std::fread(bytes, 1, MAP_MAX_SIZE, file);
}

// True when the bytes hold a whole map whose values fit the world's tables.
bool map_is_well_formed(const unsigned char *bytes, long size)
{
  if (size < MAP_ENEMIES_OFFSET)
    return false;
  if (!on_grid(read_int(bytes, MAP_START_X_OFFSET)) || !on_grid(read_int(bytes, MAP_START_Y_OFFSET)))
    return false;
  int32_t count = read_int(bytes, MAP_ENEMY_COUNT_OFFSET);
  if (count < 0 || count > MAX_ENEMIES)
    return false;
  if (size < map_file_size(count))
    return false;
  for (int i = 0; i < count; i++) {
    long record = map_enemy_offset(i);
    if (!on_grid(read_int(bytes, record + ENEMY_X_FIELD)) || !on_grid(read_int(bytes, record + ENEMY_Y_FIELD)))
      return false;
  }
  return true;
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

  FILE *file = std::fopen(path, "rb");
  if (!file)
    return 0;
  static unsigned char bytes[MAP_MAX_SIZE];
  long size = read_map_bytes(file, bytes);
  std::fclose(file);
  // A damaged map is treated like a missing one: nothing of it is used.
  if (!map_is_well_formed(bytes, size))
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
