// The simulator's records of a tick, read from the world's state.
#include "tools/simulator/tick_record.h"
#include "world/game_rules.h"
#include "world/world.h"

#include <cstdio>

namespace {

constexpr int RECORD_SIZE = 160;  // the longest record with any values

const char *hero_state()
{
  if (level_phase != PHASE_PLAYING)
    return "paused";
  if (hero_dead)
    return "dead";
  return hero_airborne ? "airborne" : "grounded";
}

}  // namespace

std::string hero_record(long tick)
{
  char text[RECORD_SIZE];
  std::snprintf(text, sizeof text, "tick %ld at %.3f %.3f %.3f heading %d %s", tick, hero_x, hero_y,
                hero_z, hero_heading, hero_state());
  return text;
}

std::string enemy_record(long tick, int i)
{
  char text[RECORD_SIZE];
  std::snprintf(text, sizeof text, "tick %ld enemy %d at %.3f %.3f %.3f direction %d", tick, i,
                enemies[i].x, enemies[i].y, enemies[i].z, enemies[i].direction);
  return text;
}
