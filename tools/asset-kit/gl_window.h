// An AllegroGL window for the tools and the tests that draw with OpenGL.
#pragma once

#include <vector>

// Starts Allegro and AllegroGL and opens a double-buffered 24-bit window
// of the given size with a 16-bit depth buffer; false when it cannot
// (allegro_error says why).
bool open_gl_window(int width, int height, const char *title);
// The RGB bytes of a part of the back buffer, bottom row first, 3 bytes a pixel.
std::vector<unsigned char> read_back_buffer(int x, int y, int width, int height);
