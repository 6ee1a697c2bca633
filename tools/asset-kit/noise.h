// Deterministic noise for procedural textures: the same numbers on every
// run and every machine, from integer hashing with fixed seeds.
#pragma once

#include <cstdint>

// A well-mixed 32-bit hash of a value and a seed.
uint32_t hash32(uint32_t value, uint32_t seed);
// A number in [0, 1) from a hash of (x, y) and a seed.
float hash_unit(int x, int y, uint32_t seed);

// Smooth value noise in [0, 1] on a lattice that repeats every period
// cells in x and y, so a texture made from it tiles seamlessly.
float value_noise(float x, float y, int period, uint32_t seed);
// Fractal sum of octaves of value noise, in [0, 1]; each octave doubles
// the frequency (and the period) and halves the amplitude.
float fractal_noise(float x, float y, int period, int octaves, uint32_t seed);

// Distances from (x, y) to the nearest and second-nearest feature point of
// a cellular pattern of period cells (one jittered point per cell), and the
// cell that owns the nearest point.
struct cell_distances {
  float nearest, second;
  int cell_x, cell_y;
};
cell_distances cellular_noise(float x, float y, int period, uint32_t seed);

// A small deterministic random sequence for scattering strokes and specks.
struct random_stream {
  uint32_t state;
};
// The next number in [0, 1).
float next_unit(random_stream &stream);
