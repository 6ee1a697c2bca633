// Stand-in until the world update lands: only the level-complete pause runs.
#include "game/update.h"
#include "game/world.h"

void enemies_patrol() {}

void world_update()
{
  enemies_patrol();
  if (level_phase != 0)
    level_phase++;
}
