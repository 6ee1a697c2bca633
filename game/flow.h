// The game's flow around play: pictures on the OpenGL screen, a game from its
// first level to its end, and the tick that drives the world.
#pragma once

#include <allegro.h>

// Where every game starts: level first_level of the campaign (1 unless
// --level chose another), or, when single_map is set, that map file alone,
// whose end goes back to the title.
extern int32_t first_level;
extern const char *single_map;

// Draws a picture at (x, y) from the top left corner, over the last frame or
// over a cleared one, and shows it. A missing (null) picture draws nothing.
void show_picture(BITMAP *picture, int x, int y, int clear_first);
// Clears the colour buffer and shows it.
void blank_screen();
// Allegro timer callback: one more tick pending.
void tick_callback();
// Plays the current game until ESC, the last life, or no next map.
void level_loop();
// Starts a game at its first level with 3 lives and plays it to its end.
void play_game();
