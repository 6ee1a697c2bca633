// The shipped levels with their solutions, replayed through the real world
// update to give the hero places that frames are measured at.
#include "bench/campaign.h"
#include "world/map_load.h"
#include "world/game_rules.h"
#include "world/update.h"

#include <cstdio>
#include <cstring>

namespace {

world_snapshot take_snapshot()
{
  world_snapshot s;
  s.hero_x = hero_x, s.hero_y = hero_y, s.hero_z = hero_z;
  s.hero_heading = hero_heading, s.hero_dead = hero_dead, s.hero_airborne = hero_airborne;
  s.lives = lives, s.drops_left = drops_left, s.hero_vz = hero_vz;
  std::memcpy(s.enemies, enemies, sizeof enemies);
  std::memcpy(s.drop_grid, drop_grid, sizeof drop_grid);
  return s;
}

// Plays the solution until the last drop is taken, keeping every tick's state.
long replay_solution(const campaign_level &level, std::vector<world_snapshot> &states)
{
  long ticks = 0;
  states.push_back(take_snapshot());
  for (const key_run &run : level.script) {
    hold_script_keys(run.keys);
    for (long i = 0; i < run.ticks && drops_left != 0; i++, ticks++) {
      world_update();
      states.push_back(take_snapshot());
    }
  }
  hold_script_keys(0);
  return ticks;
}

// Up to count states, evenly spaced, the first and the last included.
std::vector<world_snapshot> spread(const std::vector<world_snapshot> &states, int count)
{
  if ((int)states.size() <= count)
    return states;
  std::vector<world_snapshot> chosen;
  for (int i = 0; i < count; i++)
    chosen.push_back(states[(size_t)i * (states.size() - 1) / (size_t)(count - 1)]);
  return chosen;
}

}  // namespace

bool start_level(const campaign_level &level)
{
  start_new_game();
  level_number = level.number;
  return load_map(level.map_path.c_str()) == 1;
}

void restore_snapshot(const world_snapshot &s)
{
  hero_x = s.hero_x, hero_y = s.hero_y, hero_z = s.hero_z;
  hero_heading = s.hero_heading, hero_dead = s.hero_dead, hero_airborne = s.hero_airborne;
  lives = s.lives, drops_left = s.drops_left, hero_vz = s.hero_vz;
  std::memcpy(enemies, s.enemies, sizeof enemies);
  std::memcpy(drop_grid, s.drop_grid, sizeof drop_grid);
  level_phase = PHASE_PLAYING;
}

bool load_campaign(const std::vector<std::string> &level_files, const std::string &data_dir,
                   int max_places, std::vector<campaign_level> &levels)
{
  for (const std::string &file : level_files) {
    campaign_level level;
    level.number = (int)levels.size() + 1;
    level.map_path = data_dir + "/maps/map" + std::to_string(level.number) + ".map";
    std::string solution = file.substr(0, file.rfind('.')) + ".solution";
    if (!load_key_script(solution.c_str(), level.script, stderr))
      return false;
    if (!start_level(level)) {
      std::fprintf(stderr, "pilko-bench: cannot read %s (is the data built?)\n", level.map_path.c_str());
      return false;
    }
    std::vector<world_snapshot> states;
    level.solution_ticks = replay_solution(level, states);
    level.places = spread(states, max_places);
    levels.push_back(level);
  }
  return !levels.empty();
}
