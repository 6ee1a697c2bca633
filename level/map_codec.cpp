// The binary map file: flat little-endian 32-bit words, in the order the
// game's loader reads them.
#include "level/level.h"

#include <cstring>

namespace {

bool on_grid(int32_t index) { return index >= 0 && index < GRID_SIZE; }

}  // namespace

float cell_height(const level_cell &cell)
{
  float height;
  std::memcpy(&height, &cell.height_bits, sizeof height);
  return height;
}

uint32_t height_bits_of(float height)
{
  uint32_t bits;
  std::memcpy(&bits, &height, sizeof bits);
  return bits;
}

std::vector<unsigned char> encode_map(const level_data &level)
{
  std::vector<unsigned char> bytes(map_file_size(level.enemy_count));
  set_le32(bytes, MAP_START_X_OFFSET, (uint32_t)level.start_x);
  set_le32(bytes, MAP_START_Y_OFFSET, (uint32_t)level.start_y);
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++) {
      const level_cell &cell = level.cells[x][y];
      long record = map_cell_offset(x, y);
      set_le32(bytes, record + CELL_HEIGHT_FIELD, cell.height_bits);
      set_le32(bytes, record + CELL_DROP_MARKER_FIELD, (uint32_t)cell.drop_marker);
      set_le32(bytes, record + CELL_KIND_FIELD, (uint32_t)cell.kind);
    }
  set_le32(bytes, MAP_ENEMY_COUNT_OFFSET, (uint32_t)level.enemy_count);
  for (int i = 0; i < level.enemy_count; i++) {
    long record = map_enemy_offset(i);
    set_le32(bytes, record + ENEMY_X_FIELD, (uint32_t)level.enemies[i].x);
    set_le32(bytes, record + ENEMY_Y_FIELD, (uint32_t)level.enemies[i].y);
    set_le32(bytes, record + ENEMY_DIRECTION_FIELD, (uint32_t)level.enemies[i].direction);
  }
  return bytes;
}

bool decode_map(const std::vector<unsigned char> &bytes, level_data &level, std::string &error)
{
  long size = (long)bytes.size();
  if (size < MAP_ENEMIES_OFFSET) {
    error = "too short for a map (" + std::to_string(size) + " bytes, a map has at least " +
            std::to_string(MAP_ENEMIES_OFFSET) + ")";
    return false;
  }
  level = level_data{};
  level.start_x = (int32_t)get_le32(bytes, MAP_START_X_OFFSET);
  level.start_y = (int32_t)get_le32(bytes, MAP_START_Y_OFFSET);
  if (!on_grid(level.start_x) || !on_grid(level.start_y)) {
    error = "the start cell (" + std::to_string(level.start_x) + ", " +
            std::to_string(level.start_y) + ") lies off the grid";
    return false;
  }
  for (int x = 0; x < GRID_SIZE; x++)
    for (int y = 0; y < GRID_SIZE; y++) {
      level_cell &cell = level.cells[x][y];
      long record = map_cell_offset(x, y);
      cell.height_bits = get_le32(bytes, record + CELL_HEIGHT_FIELD);
      cell.drop_marker = (int32_t)get_le32(bytes, record + CELL_DROP_MARKER_FIELD);
      cell.kind = (int32_t)get_le32(bytes, record + CELL_KIND_FIELD);
    }
  level.enemy_count = (int32_t)get_le32(bytes, MAP_ENEMY_COUNT_OFFSET);
  if (level.enemy_count < 0 || level.enemy_count > MAX_ENEMIES) {
    error = "the enemy count " + std::to_string(level.enemy_count) + " is not within 0 to " +
            std::to_string(MAX_ENEMIES);
    return false;
  }
  if (size < map_file_size(level.enemy_count)) {
    error = "too short for its " + std::to_string(level.enemy_count) + " enemies";
    return false;
  }
  for (int i = 0; i < level.enemy_count; i++) {
    level_enemy &e = level.enemies[i];
    long record = map_enemy_offset(i);
    e.x = (int32_t)get_le32(bytes, record + ENEMY_X_FIELD);
    e.y = (int32_t)get_le32(bytes, record + ENEMY_Y_FIELD);
    e.direction = (int32_t)get_le32(bytes, record + ENEMY_DIRECTION_FIELD);
    if (!on_grid(e.x) || !on_grid(e.y)) {
      error = "enemy " + std::to_string(i + 1) + " starts off the grid";
      return false;
    }
  }
  return true;
}
