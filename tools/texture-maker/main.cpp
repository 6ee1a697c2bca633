// texture-maker: draws the six block and sphere textures of the game into
// 24-bit BMP files (usage: texture-maker --help).
#include "assets/asset_files.h"
#include "tools/asset-kit/command_line.h"
#include "tools/asset-kit/noise.h"
#include "tools/asset-kit/picture.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr int TEXTURE_SIZE = 128;     // every texture is 128 x 128 texels
constexpr float PI = 3.14159265358979f;
// Blocks of the same kind stand side by side; a darkened rim of this many
// texels keeps neighbouring tiles apart on screen.
constexpr float TILE_RIM = 7.0f;

// ---- Shared shaping ---------------------------------------------------------

// Darkens a tile towards its edges so the grid reads at a glance.
rgb tile_rim(rgb c, int x, int y, float depth)
{
  float edge = std::fmin(std::fmin(x + 0.5f, TEXTURE_SIZE - 0.5f - x),
                         std::fmin(y + 0.5f, TEXTURE_SIZE - 0.5f - y));
  return scale(c, 1.0f - depth * (1.0f - smoothstep(0, TILE_RIM, edge)));
}

// A short soft stroke from (x, y) in direction angle, for grass blades.
void stroke(picture &pic, float x, float y, float angle, float length, rgb colour, float strength)
{
  const int steps = static_cast<int>(length * 2) + 1;
  for (int i = 0; i <= steps; ++i) {
    float t = i / float(steps);
    float px = x + std::sin(angle) * length * t;
    float py = y - std::cos(angle) * length * t;
    // The blade thins towards its tip.
    float w = strength * (1.0f - 0.6f * t);
    int ix = static_cast<int>(std::floor(px)), iy = static_cast<int>(std::floor(py));
    float fx = px - ix, fy = py - iy;
    rgb &a = pixel_at(pic, ix, iy);
    a = mix(a, colour, w * (1 - fx) * (1 - fy));
    rgb &b = pixel_at(pic, ix + 1, iy);
    b = mix(b, colour, w * fx * (1 - fy));
    rgb &c = pixel_at(pic, ix, iy + 1);
    c = mix(c, colour, w * (1 - fx) * fy);
    rgb &d = pixel_at(pic, ix + 1, iy + 1);
    d = mix(d, colour, w * fx * fy);
  }
}

// ---- Sphere skins -----------------------------------------------------------

struct vec3 {
  float x, y, z;
};

// The point on the unit sphere that a GLU sphere gives the texel (x, y):
// s runs around the z axis from +y (s = 1) through +x (s = 0.75), -y and -x
// back to +y (s = 0); t runs from the south pole (0) to the north pole (1),
// and the game's loader flips images so the top row is t = 1.
vec3 sphere_point(int x, int y)
{
  float s = (x + 0.5f) / TEXTURE_SIZE;
  float t = 1.0f - (y + 0.5f) / TEXTURE_SIZE;
  float polar = PI * (1.0f - t);
  float around = 2 * PI * (1.0f - s);
  return {std::sin(polar) * std::sin(around), std::sin(polar) * std::cos(around), std::cos(polar)};
}

vec3 normalized(vec3 v)
{
  float n = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return {v.x / n, v.y / n, v.z / n};
}

// Angle in radians between a point and a direction on the sphere.
float angle_to(vec3 p, vec3 direction)
{
  vec3 d = normalized(direction);
  float c = p.x * d.x + p.y * d.y + p.z * d.z;
  return std::acos(std::fmax(-1.0f, std::fmin(1.0f, c)));
}

// Coverage of a round spot of the given angular radius, with a soft edge
// about one texel wide.
float spot(vec3 p, vec3 centre, float radius)
{
  constexpr float EDGE = 0.035f;
  return 1.0f - smoothstep(radius - EDGE, radius + EDGE, angle_to(p, centre));
}

// Paints every texel of a sphere skin with the colour shade(point) gives.
template <typename Shade>
void paint_sphere(picture &pic, Shade shade)
{
  for (int y = 0; y < pic.height; ++y)
    for (int x = 0; x < pic.width; ++x)
      pixel_at(pic, x, y) = shade(sphere_point(x, y));
}

// The skin's left and right edges meet on the +y side of the sphere, where
// the texture's clamped border darkens a thin line; a dark stitched seam
// there makes that line part of the design, as on a stitched ball.
rgb seam(vec3 p, rgb c)
{
  float off = std::fabs(std::atan2(p.x, p.y));  // angle from the +y meridian
  float line = (1.0f - smoothstep(0.02f, 0.05f, off)) * (1.0f - smoothstep(0.9f, 0.99f, std::fabs(p.z)));
  return mix(c, scale(c, 0.5f), line);
}

// Drops are drawn with the hero's skin bound but without texture
// coordinates of their own, so they take the colour at the last coordinate
// given, a corner of the skin (blended with the black border). Pale corners
// make the drops read as light, watery blue; the corners sit on the poles,
// where they tint no more than a sliver.
void mark_drop_corners(picture &pic)
{
  constexpr int CORNER = 2;  // texels
  const rgb water = rgb255(200, 232, 255);
  for (int j = 0; j < CORNER; ++j)
    for (int i = 0; i < CORNER; ++i) {
      pixel_at(pic, i, j) = water;
      pixel_at(pic, -1 - i, j) = water;
      pixel_at(pic, i, -1 - j) = water;
      pixel_at(pic, -1 - i, -1 - j) = water;
    }
}

// ---- The textures -----------------------------------------------------------

// Grass: mottled greens with scattered blades and a few small flowers.
picture make_grass()
{
  picture pic = make_picture(TEXTURE_SIZE, TEXTURE_SIZE, {0, 0, 0});
  const rgb dark = rgb255(46, 104, 32), light = rgb255(104, 168, 54);
  for (int y = 0; y < TEXTURE_SIZE; ++y)
    for (int x = 0; x < TEXTURE_SIZE; ++x) {
      float n = fractal_noise(x / 16.0f, y / 16.0f, TEXTURE_SIZE / 16, 4, 11);
      pixel_at(pic, x, y) = mix(dark, light, smoothstep(0.25f, 0.75f, n));
    }
  random_stream rng = {2024};
  constexpr int BLADES = 1400;
  for (int i = 0; i < BLADES; ++i) {
    float x = next_unit(rng) * TEXTURE_SIZE, y = next_unit(rng) * TEXTURE_SIZE;
    float angle = (next_unit(rng) - 0.5f) * 1.1f;
    float length = 2.5f + next_unit(rng) * 4.5f;
    bool bright = next_unit(rng) < 0.55f;
    rgb colour = bright ? rgb255(150, 200, 70) : rgb255(28, 74, 22);
    stroke(pic, x, y, angle, length, colour, 0.55f);
  }
  constexpr int FLOWERS = 5;
  for (int i = 0; i < FLOWERS; ++i) {
    float x = 12 + next_unit(rng) * (TEXTURE_SIZE - 24), y = 12 + next_unit(rng) * (TEXTURE_SIZE - 24);
    rgb petal = i % 2 ? rgb255(250, 245, 225) : rgb255(255, 214, 64);
    for (int k = 0; k < 5; ++k) {
      float a = k * 2 * PI / 5;
      fill_disc(pic, x + 1.6f * std::cos(a), y + 1.6f * std::sin(a), 1.1f, petal);
    }
    fill_disc(pic, x, y, 0.9f, rgb255(230, 140, 30));
  }
  for (int y = 0; y < TEXTURE_SIZE; ++y)
    for (int x = 0; x < TEXTURE_SIZE; ++x)
      pixel_at(pic, x, y) = tile_rim(pixel_at(pic, x, y), x, y, 0.35f);
  return pic;
}

// Stone floor: irregular flagstones of warm greys, bevelled, in dark grout.
picture make_stone_floor()
{
  picture pic = make_picture(TEXTURE_SIZE, TEXTURE_SIZE, {0, 0, 0});
  constexpr int STONES = 4;  // flagstones across the tile
  const float cell = float(TEXTURE_SIZE) / STONES;
  const rgb grout = rgb255(52, 46, 40);
  for (int y = 0; y < TEXTURE_SIZE; ++y)
    for (int x = 0; x < TEXTURE_SIZE; ++x) {
      cell_distances d = cellular_noise(x / cell, y / cell, STONES, 77);
      float tone = hash_unit(d.cell_x, d.cell_y, 78);
      rgb stone = mix(rgb255(150, 140, 124), rgb255(196, 188, 170), tone);
      stone = mix(stone, rgb255(160, 150, 110), hash_unit(d.cell_x, d.cell_y, 79) * 0.4f);
      float grain = fractal_noise(x / 8.0f, y / 8.0f, TEXTURE_SIZE / 8, 4, 80);
      stone = scale(stone, 0.82f + 0.3f * grain);
      float speck = hash_unit(x, y, 81);
      if (speck > 0.97f)
        stone = scale(stone, 0.8f);
      // Gap between the two nearest points: small near a joint.
      float joint = d.second - d.nearest;
      float bevel = smoothstep(0.04f, 0.22f, joint);
      rgb c = mix(grout, scale(stone, 0.7f + 0.3f * bevel), smoothstep(0.03f, 0.07f, joint));
      pixel_at(pic, x, y) = tile_rim(c, x, y, 0.25f);
    }
  return pic;
}

// Metal: four brushed steel plates with bevelled seams and rivets.
picture make_metal()
{
  picture pic = make_picture(TEXTURE_SIZE, TEXTURE_SIZE, {0, 0, 0});
  constexpr int PLATE = TEXTURE_SIZE / 2;
  constexpr float BEVEL = 3.0f;
  for (int y = 0; y < TEXTURE_SIZE; ++y)
    for (int x = 0; x < TEXTURE_SIZE; ++x) {
      // Brushing: noise stretched along x.
      float brush = value_noise(x / 24.0f, y * 1.0f, TEXTURE_SIZE, 31) * 0.6f +
                    value_noise(x / 6.0f, y * 0.5f, TEXTURE_SIZE, 32) * 0.4f;
      float sheen = 0.5f + 0.5f * std::sin((x + y) * PI / TEXTURE_SIZE * 2);
      rgb c = mix(rgb255(128, 136, 150), rgb255(196, 204, 214), 0.55f * brush + 0.45f * sheen);
      int px = x % PLATE, py = y % PLATE;
      // Lit from the top left: upper and left bevels bright, the others dark.
      if (px < BEVEL || py < BEVEL)
        c = mix(c, rgb255(236, 240, 246), 0.55f);
      else if (px >= PLATE - BEVEL || py >= PLATE - BEVEL)
        c = mix(c, rgb255(58, 62, 72), 0.65f);
      pixel_at(pic, x, y) = c;
    }
  constexpr float RIVET_INSET = 8.0f, RIVET_RADIUS = 3.2f;
  for (int j = 0; j < 2; ++j)
    for (int i = 0; i < 2; ++i)
      for (int k = 0; k < 4; ++k) {
        float x = i * PLATE + (k % 2 ? PLATE - RIVET_INSET : RIVET_INSET);
        float y = j * PLATE + (k / 2 ? PLATE - RIVET_INSET : RIVET_INSET);
        fill_disc(pic, x + 0.8f, y + 0.8f, RIVET_RADIUS, rgb255(50, 54, 62));
        fill_disc(pic, x, y, RIVET_RADIUS, rgb255(150, 158, 170));
        fill_disc(pic, x - 0.9f, y - 0.9f, RIVET_RADIUS * 0.45f, rgb255(245, 248, 252));
      }
  return pic;
}

// Lava: bright molten rock under thin drifting crust. It stays bright all
// over, since it is also seen as a sphere map that samples the whole disc.
picture make_lava()
{
  picture pic = make_picture(TEXTURE_SIZE, TEXTURE_SIZE, {0, 0, 0});
  const rgb ramp[] = {rgb255(92, 14, 6), rgb255(196, 38, 8), rgb255(250, 112, 14),
                      rgb255(255, 196, 52), rgb255(255, 244, 170)};
  constexpr int RAMP_STEPS = sizeof ramp / sizeof ramp[0] - 1;
  // Crust plates across the texture: many and small, since a sphere map
  // spreads a small part of the texture over a whole lava floor.
  constexpr int CRUST = 10;
  for (int y = 0; y < TEXTURE_SIZE; ++y)
    for (int x = 0; x < TEXTURE_SIZE; ++x) {
      // Warp the cell pattern with noise so the cracks meander.
      float wx = x + 6 * (fractal_noise(x / 16.0f, y / 16.0f, 8, 3, 51) - 0.5f);
      float wy = y + 6 * (fractal_noise(x / 16.0f, y / 16.0f, 8, 3, 52) - 0.5f);
      cell_distances d = cellular_noise(wx * CRUST / TEXTURE_SIZE, wy * CRUST / TEXTURE_SIZE,
                                        CRUST, 53);
      float crack = 1.0f - smoothstep(0.0f, 0.28f, d.second - d.nearest);
      float swirl = fractal_noise(x / 16.0f, y / 16.0f, TEXTURE_SIZE / 16, 4, 54);
      float heat = clamp01(0.12f + 0.5f * swirl + 0.75f * crack);
      float pos = heat * RAMP_STEPS;
      int i = std::min(static_cast<int>(pos), RAMP_STEPS - 1);
      pixel_at(pic, x, y) = mix(ramp[i], ramp[i + 1], pos - i);
    }
  return pic;
}

// The hero: a blue ball with a friendly face towards +x, where it walks
// at heading 0, a white crest from brow to nape that points the same way,
// and yellow dots round its middle so every turn shows.
picture make_hero()
{
  picture pic = make_picture(TEXTURE_SIZE, TEXTURE_SIZE, {0, 0, 0});
  paint_sphere(pic, [](vec3 p) {
    rgb c = mix(rgb255(24, 78, 186), rgb255(64, 150, 245), smoothstep(-0.9f, 0.6f, p.z));
    // The crest: a band over the top, from just above the eyes to the back.
    float band = 1.0f - smoothstep(0.13f, 0.18f, std::fabs(p.y));
    float face_gap = smoothstep(0.5f, 0.6f, p.x) * (1.0f - smoothstep(0.5f, 0.6f, p.z));
    float over = smoothstep(-0.15f, -0.05f, p.z) * (1.0f - face_gap);
    c = mix(c, rgb255(250, 250, 240), band * over);
    // Dots round the middle, between the face and the crest.
    constexpr int DOTS = 6;
    for (int k = 1; k < DOTS; ++k) {
      float a = k * 2 * PI / DOTS;
      c = mix(c, rgb255(255, 212, 40), spot(p, {std::cos(a), std::sin(a), -0.25f}, 0.16f));
    }
    // The face.
    for (int side = -1; side <= 1; side += 2) {
      vec3 eye = {1, 0.3f * side, 0.22f};
      c = mix(c, rgb255(252, 252, 252), spot(p, eye, 0.2f));
      c = mix(c, rgb255(16, 18, 30), spot(p, {1, 0.27f * side, 0.2f}, 0.1f));
      c = mix(c, rgb255(255, 255, 255), spot(p, {1, 0.25f * side, 0.26f}, 0.035f));
    }
    // A smile: a thick arc below the eyes, on the front half only.
    float mouth_angle = angle_to(p, {1, 0, 0.25f});
    float smile = (1.0f - smoothstep(0.04f, 0.07f, std::fabs(mouth_angle - 0.5f))) *
                  smoothstep(0.05f, 0.15f, -p.z + 0.05f) * smoothstep(0.7f, 0.8f, p.x);
    c = mix(c, rgb255(20, 24, 48), smile);
    return seam(p, c);
  });
  mark_drop_corners(pic);
  return pic;
}

// The enemy: a dark red ball with glowing slanted eyes, heavy brows and a
// jagged grin towards +x, the way it rolls, and a star of spikes on its crown.
picture make_enemy()
{
  picture pic = make_picture(TEXTURE_SIZE, TEXTURE_SIZE, {0, 0, 0});
  paint_sphere(pic, [](vec3 p) {
    float mottle = fractal_noise((p.x + 2) * 3, (p.y + 2) * 3 + p.z * 2, 64, 3, 91);
    rgb c = mix(rgb255(84, 8, 14), rgb255(178, 26, 24), smoothstep(0.3f, 0.7f, mottle));
    // A black star of spikes over the crown, ringed in warning yellow:
    // the part of an enemy the game's cameras see most.
    constexpr int SPIKES = 8;
    float polar = std::acos(std::fmax(-1.0f, std::fmin(1.0f, p.z)));
    float around = std::atan2(p.y, p.x) / (2 * PI) * SPIKES;  // spike centres on whole numbers
    float d = std::fabs(around - std::floor(around + 0.5f));   // 0 on a spike, 0.5 between
    float reach = 0.3f + 0.5f * (1 - 2 * d) * (1 - 2 * d);
    float ring = 1.0f - smoothstep(reach + 0.05f, reach + 0.09f, polar);
    float star = 1.0f - smoothstep(reach - 0.02f, reach + 0.02f, polar);
    c = mix(c, rgb255(255, 196, 36), ring);
    c = mix(c, rgb255(20, 6, 8), star);
    // Eyes: glowing yellow, slit pupils, brows slanting down to the middle.
    for (int side = -1; side <= 1; side += 2) {
      c = mix(c, rgb255(255, 230, 60), spot(p, {1, 0.34f * side, 0.16f}, 0.19f));
      c = mix(c, rgb255(255, 120, 10), spot(p, {1, 0.34f * side, 0.13f}, 0.12f));
      float slit = (1.0f - smoothstep(0.02f, 0.05f, std::fabs(p.y - 0.34f * side * p.x))) *
                   spot(p, {1, 0.34f * side, 0.16f}, 0.17f);
      c = mix(c, rgb255(30, 0, 0), slit);
      // The brow: a line falling from the outside in, over the eye.
      float brow_height = 0.38f - 0.35f * std::fabs(p.y - 0.55f * side) * (p.y * side < 0.55f);
      float brow = (1.0f - smoothstep(0.04f, 0.07f, std::fabs(p.z - brow_height))) *
                   (1.0f - smoothstep(0.5f, 0.6f, std::fabs(p.y))) * smoothstep(0.6f, 0.7f, p.x) *
                   smoothstep(0.0f, 0.05f, p.y * side);
      c = mix(c, rgb255(10, 2, 2), brow);
    }
    // The grin: a black mouth with a row of white teeth along its top.
    if (p.x > 0.55f && std::fabs(p.y) < 0.45f) {
      float mouth_top = -0.16f + 0.3f * p.y * p.y;
      float inside = smoothstep(mouth_top - 0.22f, mouth_top - 0.18f, p.z) *
                     (1.0f - smoothstep(mouth_top - 0.02f, mouth_top + 0.02f, p.z));
      float edge = smoothstep(0.4f, 0.45f, std::fabs(p.y));
      inside *= 1.0f - edge;
      c = mix(c, rgb255(12, 0, 0), inside);
      constexpr float TOOTH_PITCH = 0.15f;
      float phase = std::fabs(std::fmod(p.y + 1.0f, TOOTH_PITCH) / TOOTH_PITCH - 0.5f) * 2;
      float tooth_tip = mouth_top - 0.05f - 0.09f * (1.0f - phase);
      float tooth = smoothstep(tooth_tip - 0.02f, tooth_tip + 0.01f, p.z) * inside;
      float lower_tip = mouth_top - 0.2f + 0.08f * (1.0f - phase);
      tooth = std::fmax(tooth, (1.0f - smoothstep(lower_tip - 0.01f, lower_tip + 0.02f, p.z)) * inside);
      c = mix(c, rgb255(240, 236, 220), tooth);
    }
    return seam(p, c);
  });
  return pic;
}

// The maker of each texture, by its place in TEXTURE_FILES.
picture (*const makers[TEXTURE_FILE_COUNT])() = {make_grass, make_stone_floor, make_hero,
                                                 make_metal, make_lava,        make_enemy};

const char *data_folder = nullptr;

// Draws the texture at index in TEXTURE_FILES and writes it to path.
bool write_texture(const char *path, int index)
{
  return write_bmp(path, makers[index]()) == 0;
}

// Draws every texture into the data folder; returns the exit status.
int make_textures()
{
  return write_data_files(data_folder, TEXTURE_FILES, TEXTURE_FILE_COUNT, write_texture);
}

const tool_usage usage = {
  "texture-maker",
  "Draws the game's block and sphere textures into DATA_FOLDER/graphics as 24-bit BMP files.",
  {{nullptr, nullptr, {operand("DATA_FOLDER", "the game's data folder", &data_folder)}}},
};

}  // namespace

int main(int argc, char **argv)
{
  return run_tool(usage, argc, argv, make_textures);
}
