// Shared pieces of the renderer's GL tests: the game's scene on the test
// display with textures and a status-line font made here, a test level built
// in memory, screen positions of world points, and pictures to look at.
#pragma once

#include "tests/support/gl_fixture.h"
#include "game/world.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

constexpr int FRAME_WIDTH = 640;
constexpr int FRAME_HEIGHT = 480;

// A pixel as read back, and its colour as 0xRRGGBB for messages.
struct rgb {
  int r, g, b;
};

// The base colour of each kind's test texture (a two-shade checker of it).
extern const rgb kind_colour[TEXTURE_COUNT];

// A new folder under the system's temporary folder.
std::string make_temp_folder(const char *prefix);

// Writes a 24-bit BMP; colour(x, y) gives the pixel, y = 0 is the top row.
void write_test_image(const std::string &path, int width, int height,
                      const std::function<rgb(int x, int y)> &colour);

// The 64 x 32 test image: pixel (x, y) is (4x, 8y, 77), y = 0 the top row,
// except bright pink at (5, 3) and (60, 30) and nearly pink (254, 0, 255) at
// (6, 3).
rgb test_image_pixel(int x, int y);
constexpr int TEST_IMAGE_WIDTH = 64;
constexpr int TEST_IMAGE_HEIGHT = 32;
// Checks that the bound texture holds the test image upside down (its first
// row the image's bottom row) with its bright pink pixels black.
void expect_bound_texture_is_flipped_test_image();

// Opens the test context once and sets the game's scene up in it, as
// start-up does: a status-line font, setup_scene, the six test textures
// (written into a temporary folder that becomes the working folder) and the
// display lists.
void open_render_scene();

// The test level: stone floor, a metal wall round the edge, a raised grass
// block, a lava cell, drops on the floor and on the block, two enemies; the
// hero alive at cell (8, 8) with 3 lives; camera preset 1; no level end.
constexpr int RAISED_X = 10, RAISED_Y = 8;
constexpr float RAISED_HEIGHT = 2.0f;
constexpr int LAVA_X = 8, LAVA_Y = 10;
constexpr int FLOOR_DROP_X = 11, FLOOR_DROP_Y = 10;
void build_test_level();

// Reads the status line off a frame drawn with the test font over black (see
// StatusLine's tests, which move the world out of view): the characters
// of the test face whose dots best match, from the given overlay x on (in
// text units) until the frame's right edge.
std::string read_status_text(const std::vector<unsigned char> &frame, float start);
// Text units that a string of the test font takes, glyph gaps included.
float status_text_width(const std::string &text);

// The whole back buffer, bottom row first.
std::vector<unsigned char> read_frame();
rgb pixel_at(const std::vector<unsigned char> &frame, int x, int y);
// Window position of a world point under the camera and hero transform as
// the frame places them; false when it lies behind the eye.
bool project_world(float x, float y, float z, float *window_x, float *window_y);
// Window position of the hero sphere's centre (the camera-relative place the
// frame draws it at, before any level-end motion).
bool project_hero(float *window_x, float *window_y);

// One vertex of GL's feedback (GL_3D_COLOR_TEXTURE): window coordinates,
// colour, texture coordinate.
struct feedback_vertex {
  float window[3];
  float colour[4];
  float texture[4];
};
// The polygons of a feedback buffer; fails the test on any other token.
std::vector<std::vector<feedback_vertex>> feedback_polygons(const std::vector<float> &buffer);

// Writes the frame as folder/name.png (the folder is printed once).
std::string save_frame_png(const std::vector<unsigned char> &frame, const std::string &name);
