// The simulator's records of a tick, read from the world's state.
#include "replay/replay.h"
#include "world/game_rules.h"
#include "world/world.h"

#include <cstdio>

namespace {

constexpr int RECORD_SIZE = 256;  // the longest record with any values

const char *hero_state()
{
  if (level_phase != PHASE_PLAYING)
    return "paused";
  if (hero_dead)
    return "dead";
  return hero_airborne ? "airborne" : "grounded";
}

}  // namespace

std::string place_text(float x, float y)
{
  char text[RECORD_SIZE];
  std::snprintf(text, sizeof text, "cell (%d, %d), world (%.3f, %.3f)", cell_index(x), cell_index(y), x, y);
  return text;
}

std::string hero_record(long tick)
{
  char text[RECORD_SIZE];
  std::snprintf(text, sizeof text, "tick %ld %s, z %.3f heading %d %s", tick,
                place_text(hero_x, hero_y).c_str(), hero_z, hero_heading, hero_state());
  return text;
}

std::string enemy_record(long tick, int i)
{
  char text[RECORD_SIZE];
  std::snprintf(text, sizeof text, "tick %ld enemy %d %s, z %.3f direction %d", tick, i + 1,
                place_text(enemies[i].x, enemies[i].y).c_str(), enemies[i].z, enemies[i].direction);
  return text;
}
