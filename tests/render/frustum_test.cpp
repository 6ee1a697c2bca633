// Frustum planes and the sphere test from matrices given directly (no GL):
// the unit cube of the identity, and a box of a projection after a scaled and
// moved camera; and the angle each enemy direction is drawn at.
#include <gtest/gtest.h>
#include "render/render.h"

#include <cstdint>
#include <limits>

namespace {

// Spheres against the planes of three views: the identity's unit cube; a projection (x + 1)
// after a modelview (2 x - 16, 2 y - 3, 2 z - 6), whose product puts the view at x 7..8,
// y 1..2, z 2.5..3.5 in the world; and a real perspective (glFrustum -1, 1, -1, 1, 1, 10):
// a pyramid down -z from z -1 to z -10, as wide as it is deep. The result is 0 outside
// (touching a plane from outside is outside), else the distance from the near plane plus the
// radius. A sphere just inside the second box is lost with the product in the wrong order, a
// matrix read the wrong way round or planes left longer than a unit; the pyramid's sides and
// far plane need the matrix's last row, which the other two leave 0 0 0 1.
TEST(Frustum, IdentityCubeAMovedScaledBoxAndAPerspective)
{
  const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  const float moved[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 1};
  const float scaled_and_moved[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, -16, -3, -6, 1};
  const float perspective[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -11.0f / 9, -1, 0, 0, -20.0f / 9, 0};
  const float *views[3][2] = {{identity, identity}, {moved, scaled_and_moved}, {perspective, identity}};  // projection, modelview
  const struct { int view; float x, y, z, radius, result; } spheres[] = {
      {0, 0, 0, 0, 0.5f, 1.5f},      {0, 0, 0, -1.2f, 0.5f, 0.3f},     {0, 1.99f, 0, 0, 1, 2},
      {0, 3, 0, 0, 1, 0},            {0, 2, 0, 0, 1, 0},               {0, -2, 0, 0, 1, 0},
      {0, 0, -1.5f, 0, 0.5f, 0},     {0, 0, 1.5f, 0, 0.5f, 0},         {0, 0, 0, 1.25f, 0.25f, 0},
      {0, 0, 0, -1.25f, 0.25f, 0},   {1, 7.5f, 1.5f, 3, 0.1f, 0.6f},   {1, 7.9f, 1.5f, 2.6f, 0.05f, 0.15f},
      {1, 6.9f, 1.5f, 3, 0.05f, 0},  {1, 8.1f, 1.5f, 3, 0.05f, 0},     {1, 7.5f, 0.9f, 3, 0.05f, 0},
      {1, 7.5f, 2.1f, 3, 0.05f, 0},  {1, 7.5f, 1.5f, 2.4f, 0.05f, 0},  {1, 7.5f, 1.5f, 3.6f, 0.05f, 0},
      {2, 0, 0, -5, 0.5f, 4.5f},     {2, 4.9f, 0, -5, 0.05f, 4.05f},   {2, 5.1f, 0, -5, 0.05f, 0},
      {2, 0, -5.1f, -5, 0.05f, 0},   {2, 0, 0, -9.9f, 0.05f, 8.95f},   {2, 0, 0, -10.1f, 0.05f, 0},
      {2, 0, 0, -0.9f, 0.05f, 0},
  };
  for (const auto &s : spheres) {
    frustum_from_matrices(views[s.view][0], views[s.view][1]);
    EXPECT_NEAR(sphere_in_frustum(s.x, s.y, s.z, s.radius), s.result, 1e-5f) << s.view << ": " << s.x << " " << s.y << " " << s.z;
  }
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
