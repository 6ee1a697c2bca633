// The game's OpenGL screen: the full-screen 640 x 480 mode where the screen
// really has it, else the desktop's own resolution or a window, with the 4:3
// picture in the middle of it.
#pragma once

// How the picture reaches the screen.
enum screen_route {
  ROUTE_DESIGNED,  // the full-screen 640 x 480 mode: drawn, timed and captured as designed
  ROUTE_DESKTOP,   // full screen at the desktop's resolution, the picture 4:3 in its middle
  ROUTE_WINDOW,    // a window (--window), the picture following its size
};

// The sizes a window may have: what the window manager may shrink it to,
// and what --window-size may ask for each way (OpenGL drivers draw at least
// this large).
constexpr int SMALLEST_WINDOW_WIDTH = 160;
constexpr int SMALLEST_WINDOW_HEIGHT = 120;
constexpr int LARGEST_WINDOW_SIDE = 8192;

// What the player asked for on the command line.
struct screen_request {
  bool window = false;  // a window instead of the full screen
  int width = 0;        // its size; 0 x 0: the largest whole multiple of
  int height = 0;       // 640 x 480 that fits the desktop
};

// The settings of the mode search's first attempt: colour depth 16, a 16-bit
// depth buffer, double buffering and hardware rendering, all suggested.
void request_first_mode();
// The settings changed to try depth after an attempt failed: the colour
// depth itself is no longer suggested, nor the render method.
void request_mode_depth(int depth);

// Opens the screen the request asks for. Full screen tries the designed mode
// first, except on a Wayland desktop, which would stretch it. False when no
// OpenGL mode works at all, with Allegro's reason in allegro_error. Call once,
// after allegro_init and install_allegro_gl.
bool open_screen(const screen_request &request);
// The route open_screen took.
screen_route screen_route_taken();
// Fits picture_area to the window again when its size has changed (never in
// the designed mode, whose screen cannot change); true when it has.
bool follow_window_size();
