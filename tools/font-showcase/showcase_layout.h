// Where the font showcase puts each panel on its 640 x 480 screen, in window
// pixels from the bottom-left corner.
#pragma once

struct showcase_panel {
  int x, y, width, height;
};

constexpr int SHOWCASE_WIDTH = 640;
constexpr int SHOWCASE_HEIGHT = 480;

// The four vector modes, one string each, top to bottom.
constexpr showcase_panel SHOWCASE_WIRED = {10, 400, 300, 70};
constexpr showcase_panel SHOWCASE_SOLID = {10, 320, 300, 70};
constexpr showcase_panel SHOWCASE_3D_WIRED = {10, 240, 300, 70};
constexpr showcase_panel SHOWCASE_3D_SOLID = {10, 160, 300, 70};
// Bitmap text: plain above, masked below, over one colour.
constexpr showcase_panel SHOWCASE_BITMAP = {10, 10, 300, 140};
// The console with wrapped, scrolled text and its cursor.
constexpr showcase_panel SHOWCASE_CONSOLE = {330, 10, 300, 460};

// The colour under the bitmap text, red, green, blue from 0 to 255.
constexpr unsigned char SHOWCASE_BITMAP_BACKGROUND[3] = {40, 90, 170};
