// The game's OpenGL mode, as start-up asks AllegroGL for it.
#pragma once

// Asks for the 640 x 480 mode on driver (GFX_OPENGL_FULLSCREEN or
// GFX_OPENGL_WINDOWED) at colour depths 16, 24, 32 and 15 in turn, with a
// 16-bit depth buffer and double buffering; false when none works, with
// Allegro's reason in allegro_error.
bool enter_graphics_mode(int driver);
// The settings of the search's first attempt: colour depth 16, a 16-bit
// depth buffer, double buffering and hardware rendering, all suggested.
void request_first_mode();
// The settings changed to try depth after an attempt failed: the colour
// depth itself is no longer suggested, nor the render method.
void request_mode_depth(int depth);
