// A small ray caster for the title picture.
#include "tools/picture-maker/scene.h"

#include <cmath>

namespace {

constexpr float PI = 3.14159265358979f;
constexpr int SAMPLES_ACROSS = 2;   // rays per pixel side (2 x 2 per pixel)
constexpr float TILE_SIZE = 2.0f;   // world units per tile, as in the game
constexpr float FOG_DISTANCE = 60.0f;
constexpr float AMBIENT = 0.3f;
constexpr float LIGHT_REACH = 22.0f;  // distance at which the light has faded to half

vec3 sub(vec3 a, vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
vec3 add3(vec3 a, vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
vec3 mul(vec3 a, float k) { return {a.x * k, a.y * k, a.z * k}; }
float dot(vec3 a, vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
vec3 cross(vec3 a, vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
vec3 unit(vec3 a) { return mul(a, 1.0f / std::sqrt(dot(a, a))); }

// Bilinear lookup at (u, v) in 0..1, v = 0 at the picture's top row.
rgb sample(const picture &pic, float u, float v)
{
  float x = u * pic.width - 0.5f, y = v * pic.height - 0.5f;
  int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  float fx = x - x0, fy = y - y0;
  rgb top = mix(pixel_at(pic, x0, y0), pixel_at(pic, x0 + 1, y0), fx);
  rgb bottom = mix(pixel_at(pic, x0, y0 + 1), pixel_at(pic, x0 + 1, y0 + 1), fx);
  return mix(top, bottom, fy);
}

// Diffuse light at a point with a normal, from the point light.
float lighting(const scene &s, vec3 point, vec3 normal)
{
  vec3 to_light = sub(s.light, point);
  float distance = std::sqrt(dot(to_light, to_light));
  float facing = std::fmax(0.0f, dot(normal, mul(to_light, 1.0f / distance)));
  float falloff = 1.0f / (1.0f + distance * distance / (LIGHT_REACH * LIGHT_REACH));
  return AMBIENT + (1.0f - AMBIENT) * facing * falloff * 1.4f;
}

// Nearest hit of a ray with a ball, or a negative distance.
float hit_ball(const scene_ball &b, vec3 origin, vec3 dir)
{
  vec3 oc = sub(origin, b.centre);
  float half_b = dot(oc, dir);
  float c = dot(oc, oc) - b.radius * b.radius;
  float disc = half_b * half_b - c;
  return disc < 0 ? -1 : -half_b - std::sqrt(disc);
}

// The skin colour of a ball at a surface normal: the inverse of the GLU
// sphere mapping (s from the angle round z, t from the height).
rgb ball_skin(const scene_ball &b, vec3 n)
{
  float h = -b.heading * PI / 180;  // into the ball's own frame
  vec3 m = {n.x * std::cos(h) - n.y * std::sin(h), n.x * std::sin(h) + n.y * std::cos(h), n.z};
  float around = std::atan2(m.x, m.y);
  if (around < 0)
    around += 2 * PI;
  float s = 1.0f - around / (2 * PI);
  float t = 1.0f - std::acos(std::fmax(-1.0f, std::fmin(1.0f, m.z))) / PI;
  return sample(*b.skin, s, 1.0f - t);
}

// Soft darkening of the floor under each ball.
float ball_shadow(const scene &s, vec3 point)
{
  float shade = 1.0f;
  for (const scene_ball &b : s.balls) {
    float d = std::hypot(point.x - b.centre.x, point.y - b.centre.y) / (b.radius * 1.1f);
    shade *= 1.0f - 0.6f * (1.0f - smoothstep(0.4f, 1.0f, d));
  }
  return shade;
}

rgb trace(const scene &s, vec3 dir)
{
  float nearest = 1e9f;
  const scene_ball *ball = nullptr;
  for (const scene_ball &b : s.balls) {
    float t = hit_ball(b, s.eye, dir);
    if (t > 0 && t < nearest) {
      nearest = t;
      ball = &b;
    }
  }
  rgb sky = mix(s.sky_horizon, s.sky_top, clamp01(dir.z * 3.0f));
  if (ball) {
    vec3 point = add3(s.eye, mul(dir, nearest));
    vec3 normal = mul(sub(point, ball->centre), 1.0f / ball->radius);
    rgb c = scale(ball_skin(*ball, normal), lighting(s, point, normal));
    // A soft highlight from the light.
    vec3 half_vector = unit(sub(unit(sub(s.light, point)), dir));
    float shine = std::pow(std::fmax(0.0f, dot(normal, half_vector)), 40.0f);
    return add(c, scale(rgb{1, 1, 1}, 0.35f * shine));
  }
  if (dir.z >= 0)
    return sky;
  float t = -s.eye.z / dir.z;
  vec3 point = add3(s.eye, mul(dir, t));
  float gx = point.x / TILE_SIZE + 0.5f, gy = point.y / TILE_SIZE + 0.5f;
  int tx = static_cast<int>(std::floor(gx)), ty = static_cast<int>(std::floor(gy));
  const picture *skin = s.tile_skins[s.tile_kind(tx, ty)];
  // The game's tiles put texture t = 1 at the tile's -y edge.
  rgb c = sample(*skin, gx - tx, gy - ty);
  c = scale(c, lighting(s, point, {0, 0, 1}) * ball_shadow(s, point));
  return mix(c, sky, smoothstep(0.3f, 1.0f, t / FOG_DISTANCE));
}

}  // namespace

void render_scene(picture &out, const scene &s)
{
  vec3 forward = unit(sub(s.target, s.eye));
  vec3 right = unit(cross(forward, {0, 0, 1}));
  vec3 up = cross(right, forward);
  float half_height = std::tan(s.field_of_view * PI / 360);
  float aspect = float(out.width) / out.height;
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      rgb sum = {0, 0, 0};
      for (int j = 0; j < SAMPLES_ACROSS; ++j)
        for (int i = 0; i < SAMPLES_ACROSS; ++i) {
          float u = ((x + (i + 0.5f) / SAMPLES_ACROSS) / out.width * 2 - 1) * half_height * aspect;
          float v = (1 - (y + (j + 0.5f) / SAMPLES_ACROSS) / out.height * 2) * half_height;
          sum = add(sum, trace(s, unit(add3(forward, add3(mul(right, u), mul(up, v))))));
        }
      pixel_at(out, x, y) = scale(sum, 1.0f / (SAMPLES_ACROSS * SAMPLES_ACROSS));
    }
}
