// Shared pieces of the renderer's GL tests: scene, test level, pictures.
#pragma once

#include "tests/support/gl_fixture.h"
#include "tests/support/scratch_folder.h"
#include "render/render.h"
#include "world/world.h"

#include <functional>
#include <string>
#include <vector>

constexpr int FRAME_WIDTH = 640, FRAME_HEIGHT = 480;

struct rgb { int r, g, b; };
inline bool operator==(rgb a, rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
// The base colour of each kind's test texture (a two-shade checker of it).
extern const rgb kind_colour[TEXTURE_COUNT];

// A 24-bit BMP; colour(x, y) gives the pixel, y = 0 is the top row.
void write_test_image(const std::string &path, int width, int height,
                      const std::function<rgb(int x, int y)> &colour);

// Sets the scene up as start-up does (once: context, the six textures, a status-line font
// whose glyph for code c is a block of grey 2c), then builds the test level: stone floor
// inside a metal wall, a raised grass block with a drop on it, a lava cell, a drop on the
// floor, two enemies; the hero alive at (16, 16) with 3 lives; camera preset 1.
void open_test_level();
constexpr int RAISED_X = 10, RAISED_Y = 8, LAVA_X = 8, LAVA_Y = 10;
constexpr int FLOOR_DROP_X = 11, FLOOR_DROP_Y = 10;
constexpr float RAISED_HEIGHT = 2.0f;

// Renders a frame and reads it back, bottom row first.
std::vector<unsigned char> draw_frame();
rgb pixel_at(const std::vector<unsigned char> &frame, int x, int y);
// Window position of a world point under the frame's camera; false if behind.
bool project_world(float x, float y, float z, float *window_x, float *window_y);
// Writes the frame as NAME.png into the build's test-pictures folder and prints its path.
void save_frame(const std::vector<unsigned char> &frame, const std::string &name);
