// What play tells the player over the scene: which level this is, for a
// moment when it starts, and what a death costs while the hero lies dead.
// The status line stays as it is below them.
#pragma once

#include <cstdint>
#include <string>

// The name of the level played alone from a level text (--level FILE.level),
// which its map in memory cannot tell.
void name_single_level(const std::string &name);
// The next level banner also says where F12 saves screenshots: the folder
// pilko plays in. For a player's first start.
void tell_where_screenshots_go();
// A level has begun: its banner stands over the frames from the next one on.
void announce_level();
// Over the frame just drawn into the back buffer, once a world update: the
// banner while it lasts, and the death line while the hero lies dead.
void draw_play_messages();

// The death line for a hero dead with lives lives; SPACE takes one of them.
std::string death_line(int32_t lives);
