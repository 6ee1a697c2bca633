// Deterministic value and cellular noise from integer hashing.
#include "tools/asset-kit/noise.h"

#include <cmath>

namespace {

constexpr float UNIT_SCALE = 1.0f / 4294967296.0f;  // 2^-32: hash to [0, 1)

int wrap(int v, int n)
{
  int m = v % n;
  return m < 0 ? m + n : m;
}

float fade(float t)
{
  return t * t * t * (t * (t * 6 - 15) + 10);
}

}  // namespace

uint32_t hash32(uint32_t value, uint32_t seed)
{
  // A murmur-style finaliser: every input bit affects every output bit.
  uint32_t h = value * 0x9E3779B1u ^ seed * 0x85EBCA77u;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

float hash_unit(int x, int y, uint32_t seed)
{
  uint32_t h = hash32(static_cast<uint32_t>(x), hash32(static_cast<uint32_t>(y), seed));
  return h * UNIT_SCALE;
}

float value_noise(float x, float y, int period, uint32_t seed)
{
  int x0 = static_cast<int>(std::floor(x));
  int y0 = static_cast<int>(std::floor(y));
  float fx = fade(x - x0);
  float fy = fade(y - y0);
  int xa = wrap(x0, period), xb = wrap(x0 + 1, period);
  int ya = wrap(y0, period), yb = wrap(y0 + 1, period);
  float top = hash_unit(xa, ya, seed) + (hash_unit(xb, ya, seed) - hash_unit(xa, ya, seed)) * fx;
  float bottom = hash_unit(xa, yb, seed) + (hash_unit(xb, yb, seed) - hash_unit(xa, yb, seed)) * fx;
  return top + (bottom - top) * fy;
}

float fractal_noise(float x, float y, int period, int octaves, uint32_t seed)
{
  float sum = 0, amplitude = 1, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += value_noise(x, y, period, seed + i) * amplitude;
    total += amplitude;
    amplitude *= 0.5f;
    x *= 2;
    y *= 2;
    period *= 2;
  }
  return sum / total;
}

cell_distances cellular_noise(float x, float y, int period, uint32_t seed)
{
  int cx = static_cast<int>(std::floor(x));
  int cy = static_cast<int>(std::floor(y));
  cell_distances d = {1e9f, 1e9f, 0, 0};
  for (int j = -1; j <= 1; ++j)
    for (int i = -1; i <= 1; ++i) {
      int ox = cx + i, oy = cy + j;
      int hx = wrap(ox, period), hy = wrap(oy, period);
      float px = ox + 0.15f + 0.7f * hash_unit(hx, hy, seed);
      float py = oy + 0.15f + 0.7f * hash_unit(hx, hy, seed ^ 0x5BD1E995u);
      float dist = std::hypot(px - x, py - y);
      if (dist < d.nearest) {
        d.second = d.nearest;
        d.nearest = dist;
        d.cell_x = hx;
        d.cell_y = hy;
      } else if (dist < d.second) {
        d.second = dist;
      }
    }
  return d;
}

float next_unit(random_stream &stream)
{
  stream.state = hash32(stream.state, 0x2545F491u) + 1;
  return stream.state * UNIT_SCALE;
}
