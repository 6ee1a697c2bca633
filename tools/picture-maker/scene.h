// A small ray caster that shows the game's world for the title picture:
// a floor of textured tiles under a sky, and textured balls on it, skinned
// the way the game's spheres are.
#pragma once

#include "tools/asset-kit/picture.h"

#include <vector>

struct vec3 {
  float x, y, z;
};

// A textured ball; heading turns its skin about the vertical axis
// (0 faces +x, as in the game).
struct scene_ball {
  vec3 centre;
  float radius;
  float heading;  // degrees
  const picture *skin;
};

struct scene {
  vec3 eye, target;           // world z is up
  float field_of_view;        // vertical, degrees
  const picture *tile_skins[4];
  int (*tile_kind)(int x, int y);  // which skin covers the 2 x 2 tile at (x, y)
  vec3 light;                 // a point light above the hero
  rgb sky_top, sky_horizon;
  std::vector<scene_ball> balls;
};

// Renders the scene into the whole picture, four rays a pixel.
void render_scene(picture &out, const scene &s);
