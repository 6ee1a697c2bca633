// The font showcase's one screen: every way the font library draws text.
#pragma once

#include <string>

// Loads the vector font, a bitmap font and the texture, and fills the
// console; needs the GL context. False with a reason when something is missing.
bool showcase_load(std::string &error);
// Draws one frame of every panel into the back buffer.
void showcase_draw_frame();
// Releases the texture and the fonts.
void showcase_unload();
