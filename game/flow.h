// The game's flow around play: pictures on the OpenGL screen, a game from its
// first level to its end, and the tick that drives the world.
#pragma once

#include <allegro.h>

// Loads one of the pictures show_picture shows: at the screen's depth in the
// designed mode, where Allegro draws it, else at the depth it becomes a
// texture from. Null, with one warning line, when it does not load.
BITMAP *load_screen_picture(const char *path);
// Draws a picture at (x, y) from the top left corner of the 640 x 480
// picture, over the last frame or over a cleared one, and shows it; outside
// the designed mode it is scaled into picture_area as a filtered texture,
// on a cleared window. A missing (null) picture draws nothing.
void show_picture(BITMAP *picture, int x, int y, int clear_first);
// Draws the picture on screen again, fitted anew, when the window has changed
// size; for the waits for a key while a picture is shown.
void redraw_picture_after_resize();
// Clears the colour buffer and shows it.
void blank_screen();
// Allegro timer callback: one more tick pending.
void tick_callback();
// Plays the current game until ESC, the last life, or no next map; then the
// game-over picture, or the campaign-complete one after the last level.
void level_loop();
// Starts a game at its first level with 3 lives and plays it to its end.
void play_game();
// Plays a game started and loaded by the caller (start_new_game and its
// first map), from its first tick to its end, recorded as every game is.
void play_loaded_game();
