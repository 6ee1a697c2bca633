// Pictures in floating-point RGB, drawing helpers, and the two file formats
// the game reads them from (24-bit BMP textures, true-colour TGA pictures).
#pragma once

#include <vector>

// One colour; channels run from 0 (dark) to 1 (full), values beyond are
// clamped only when written.
struct rgb {
  float r, g, b;
};

// A picture, top row first.
struct picture {
  int width, height;
  std::vector<rgb> pixels;
};

// A picture of the given size filled with one colour.
picture make_picture(int width, int height, rgb fill);
// The pixel at (x, y), with x and y wrapped around the edges.
rgb &pixel_at(picture &pic, int x, int y);
rgb pixel_at(const picture &pic, int x, int y);

// Colour arithmetic.
rgb mix(rgb a, rgb b, float t);
rgb scale(rgb c, float k);
rgb add(rgb a, rgb b);
// A colour from 0..255 components, as colours are usually written down.
rgb rgb255(int r, int g, int b);
float smoothstep(float edge0, float edge1, float x);
float clamp01(float x);

// Blends colour over the pixel at (x, y) with coverage 0..1; outside the
// picture nothing happens.
void blend_pixel(picture &pic, int x, int y, rgb colour, float coverage);
// A filled disc with a soft (anti-aliased) edge.
void fill_disc(picture &pic, float cx, float cy, float radius, rgb colour);
// A ball lit from the top left with a highlight, drawn flat (for emblems).
void draw_shaded_ball(picture &pic, float cx, float cy, float radius, rgb colour);
// A filled rectangle with corners rounded by radius (0 for square ones),
// shaded from the top colour to the bottom colour, laid over what is there
// with the given opacity.
void fill_round_rect(picture &pic, int x, int y, int width, int height, float radius, rgb top,
                     rgb bottom, float opacity);

// The 8-bit value of a channel, rounded. The one colour that Allegro's
// sprite drawing treats as transparent (255, 0, 255) is moved one step
// towards red, so no pixel vanishes unless a tool means it to.
void quantize(rgb c, unsigned char out[3]);

// Reads an uncompressed 24-bit BMP such as write_bmp makes; 0, or -1 when
// the file cannot be read or is of another kind.
int read_bmp(const char *path, picture &pic);
// Writes an uncompressed 24-bit BMP (rows bottom first); 0 or -1.
int write_bmp(const char *path, const picture &pic);
// Writes an uncompressed true-colour TGA (image type 2, 24 bits, rows top
// first); 0 or -1.
int write_tga(const char *path, const picture &pic);
