// The rules of a game's start and a level's end: the steps that the game's
// flow, the renderer and the simulator share.
#include "world/game_rules.h"
#include "base/base.h"
#include "world/effects.h"
#include "world/map_load.h"
#include "world/world.h"

#include <cstdio>

namespace {

constexpr float FULL_TURN = 360.0f;

}  // namespace

int32_t first_level = START_LEVEL;
const char *single_map = nullptr;

namespace {

bool campaign_finished = false;  // the last level's end found no next map

}  // namespace

void start_new_game()
{
  reset_world();
  current_camera = &camera_presets[START_CAMERA];
  level_number = first_level;
  lives = START_LIVES;
  // A game left by ESC in the middle of a level's end must not hand its
  // rise to the next one: the new game starts in play, the hero at rest.
  level_phase = PHASE_PLAYING;
  end_zoom = 0.0f;
  end_spin = 0.0f;
  campaign_finished = false;
}

int load_current_level()
{
  if (!single_map)
    std::snprintf(map_path, sizeof map_path, "maps/map%d.map", level_number);
  return load_map(current_map_path());
}

const char *current_map_path()
{
  return single_map ? single_map : map_path;
}

void report_unreadable_map(const char *after)
{
  if (!map_load_missing())
    report_problem("cannot read " + printable(current_map_path()) + ": " + map_load_problem() + "; " + after);
}

bool begin_level_complete()
{
  if (drops_left != 0 || level_phase != PHASE_PLAYING)
    return false;
  level_phase = PHASE_FIRST;
  end_zoom = 0.0f;
  end_spin = 0.0f;
  play_effect(snd_end);
  return true;
}

bool hero_rises()
{
  return level_phase != PHASE_PLAYING && level_phase <= PHASE_LAST_RISE;
}

void step_level_end()
{
  if (level_phase == PHASE_PLAYING)
    return;
  if (hero_rises()) {
    end_zoom += END_RISE_STEP;
    end_spin += END_SPIN_STEP;
    if (end_spin > FULL_TURN)
      end_spin -= FULL_TURN;
  }
  if (level_phase > PHASE_LAST)
    level_phase = PHASE_ADVANCE;
}

bool level_has_ended()
{
  return level_phase == PHASE_ADVANCE;
}

bool handle_level_completion()
{
  if (drops_left != 0)
    return false;
  begin_level_complete();
  if (!level_has_ended())
    return false;
  level_phase = PHASE_PLAYING;
  if (single_map) {
    quit_request = 1;  // one level played alone: its end goes back to the title
    return false;
  }
  level_number++;
  reset_world();
  if (load_current_level())
    return true;
  report_unreadable_map("back to the title");
  campaign_finished = map_load_missing() != 0;  // no next map: the game is won
  quit_request = 1;
  return false;
}

bool campaign_complete()
{
  return campaign_finished;
}

bool no_lives_left()
{
  return lives == 0;
}

bool every_drop_collected()
{
  for (const auto &column : drop_grid)
    for (int32_t drop : column)
      if (drop == 1)
        return false;
  return true;
}
