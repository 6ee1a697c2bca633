// The simulator's records of a tick: the hero's and the enemies' state after
// it, one line each, as pilko-sim prints them.
#pragma once

#include <string>

// "tick N at X Y Z heading H STATE" (STATE: grounded, airborne, dead, paused).
std::string hero_record(long tick);
// "tick N enemy I at X Y Z direction R" for enemy slot i.
std::string enemy_record(long tick, int i);
