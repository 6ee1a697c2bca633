// The world update: one 40 ms tick of the game world.
#pragma once

// Moves the enemies, reads the keys, moves the hero with collision, collects
// drops, runs jumps and falls, and applies lava and enemy contact.
void world_update();
// Moves every enemy in use one step along its patrol run.
void enemies_patrol();
// Saves the screen while F12 is held in play. Reading the screen needs the
// display, so the game sets it; unset (as in the simulator), F12 does nothing.
extern void (*screenshot_hook)();
