// The simulator's records of a tick: the hero's and the enemies' state after
// it, one line each, as pilko-sim prints them.
#pragma once

#include <string>

// "cell (3, 5), world (6.000, 10.000)" for the world position (x, y): a
// place in the cells authors write and in the world units the game uses.
std::string place_text(float x, float y);
// "tick N PLACE, z Z heading H STATE" (STATE: grounded, airborne, dead, paused).
std::string hero_record(long tick);
// "tick N enemy I PLACE, z Z direction R" for enemy slot i (I counts from 1,
// as the level text's enemy lines do).
std::string enemy_record(long tick, int i);
