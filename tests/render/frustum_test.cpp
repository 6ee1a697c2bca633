// Frustum planes and the sphere test from matrices given directly (no GL):
// the unit cube of the identity, and the game's own perspective seen through
// a turned and moved camera; and the angle each enemy direction is drawn at.
#include <gtest/gtest.h>
#include "render/render.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace {

const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

TEST(Frustum, IdentityGivesTheUnitCube)
{
  frustum_from_matrices(identity, identity);
  // 0 outside (touching a plane from outside is outside), else the distance
  // from the near plane plus the radius.
  const struct { float x, y, z, radius, result; } spheres[] = {
      {0, 0, 0, 0.5f, 1.5f},       {0, 0, -1.2f, 0.5f, 0.3f},    {1.99f, 0, 0, 1, 2},
      {3, 0, 0, 1, 0},             {2, 0, 0, 1, 0},              {-2, 0, 0, 1, 0},
      {0, -1.5f, 0, 0.5f, 0},      {0, 1.5f, 0, 0.5f, 0},        {0, 0, 1.25f, 0.25f, 0},
      {0, 0, -1.25f, 0.25f, 0},
  };
  for (const auto &s : spheres)
    EXPECT_NEAR(sphere_in_frustum(s.x, s.y, s.z, s.radius), s.result, 1e-6f) << s.x << " " << s.y << " " << s.z;
}

// Column-major 4 x 4 products, as GL multiplies its matrices.
std::vector<float> times(const std::vector<float> &a, const std::vector<float> &b)
{
  std::vector<float> m(16, 0.0f);
  for (int column = 0; column < 4; column++)
    for (int row = 0; row < 4; row++)
      for (int k = 0; k < 4; k++)
        m[4 * column + row] += a[4 * k + row] * b[4 * column + k];
  return m;
}

// The game's perspective (45 degrees, 640 x 480, near 0.1, far 100) through a
// camera turned about two axes and moved: every point of a cloud is inside
// exactly when its clip coordinates say so, and an inside point's result is
// its distance in front of the near plane.
TEST(Frustum, RealPerspectiveAndCamera)
{
  const float near = 0.1f, far = 100.0f, f = 1.0f / std::tan(22.5f * 0.01745329f);
  const std::vector<float> projection = {f * 0.75f, 0, 0, 0, 0, f, 0, 0,
                                         0, 0, (far + near) / (near - far), -1, 0, 0, 2 * far * near / (near - far), 0};
  const float c = std::cos(0.4f), s = std::sin(0.4f), cz = std::cos(1.9f), sz = std::sin(1.9f);
  const std::vector<float> turn_x = {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1};
  const std::vector<float> turn_z = {cz, sz, 0, 0, -sz, cz, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  const std::vector<float> move = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -16, -3, -6, 1};
  const std::vector<float> modelview = times(turn_x, times(turn_z, move));
  frustum_from_matrices(projection.data(), modelview.data());
  std::vector<float> clip = times(projection, modelview);
  // Points around the camera's line of sight (the camera stands at 16, 3, 6),
  // from behind it to beyond the far plane, spread wider with the distance.
  std::mt19937 random(7);
  std::uniform_real_distribution<float> along(-5, 110), aside(-1, 1);
  int inside = 0;
  for (int i = 0; i < 2000; i++) {
    float t = along(random), spread = 0.6f * std::fabs(t) + 1, eye_z = 0;
    float p[4] = {16 - t * modelview[2] + spread * aside(random), 3 - t * modelview[6] + spread * aside(random),
                  6 - t * modelview[10] + spread * aside(random), 1}, q[4] = {};
    for (int row = 0; row < 4; row++)
      for (int k = 0; k < 4; k++)
        q[row] += clip[4 * k + row] * p[k];
    for (int k = 0; k < 4; k++)
      eye_z += modelview[4 * k + 2] * p[k];
    float margin = std::min({q[3] - std::fabs(q[0]), q[3] - std::fabs(q[1]), q[3] - std::fabs(q[2])});
    if (std::fabs(margin) < 0.05f)
      continue;  // too near a plane to tell apart from rounding
    float result = sphere_in_frustum(p[0], p[1], p[2], 0.001f);
    inside += margin > 0;
    ASSERT_EQ(result != 0, margin > 0) << p[0] << " " << p[1] << " " << p[2];
    EXPECT_NEAR(margin > 0 ? result : 0, margin > 0 ? -eye_z - near + 0.001f : 0, 1e-3f);
  }
  EXPECT_GT(inside, 500) << "too few points fell inside the view";
}

TEST(EnemyFacing, FourDirectionsTurnByQuartersAnyOtherWithinATurn)
{
  // The four: exactly the angles the frame has always used. Any other value
  // a map may hold: the true angle reduced to a turn, worked in 64 bits.
  const std::pair<int32_t, float> angles[] = {
      {0, -90}, {1, 0}, {2, 90}, {3, 180}, {-1, -180}, {5, 0},
      {std::numeric_limits<int32_t>::max(), 180}, {std::numeric_limits<int32_t>::min(), -90}};
  for (auto [direction, angle] : angles)
    EXPECT_EQ(enemy_facing(direction), angle) << direction;
}

}  // namespace
