// Frustum planes and the sphere test, from matrices given directly (no GL).
#include <gtest/gtest.h>

#include "game/world.h"
#include "render/render.h"

namespace {

const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

TEST(Frustum, IdentityMatricesGiveTheUnitCubeInPlaneOrder)
{
  frustum_from_matrices(identity, identity);
  const float expected[FRUSTUM_PLANE_COUNT][4] = {  // right, left, bottom, top, far, near
    {-1, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {0, -1, 0, 1}, {0, 0, -1, 1}, {0, 0, 1, 1}};
  for (int p = 0; p < FRUSTUM_PLANE_COUNT; p++)
    for (int k = 0; k < 4; k++)
      EXPECT_FLOAT_EQ(frustum_planes[p][k], expected[p][k]) << "plane " << p << " value " << k;
}

TEST(Frustum, SphereGivesNearDistancePlusRadiusOrZeroWhenOutside)
{
  frustum_from_matrices(identity, identity);
  const float cases[][5] = {  // x, y, z, radius, result
    {0, 0, 0, 0.5f, 1.5f},
    {3, 0, 0, 1, 0},
    // Touching each plane from outside (distance exactly -radius) is culled.
    {2, 0, 0, 1, 0}, {-2, 0, 0, 1, 0}, {0, -1.5f, 0, 0.5f, 0}, {0, 1.5f, 0, 0.5f, 0},
    {0, 0, 1.25f, 0.25f, 0}, {0, 0, -1.25f, 0.25f, 0},
    {1.99f, 0, 0, 1, 2},
    {0, 0, -1.2f, 0.5f, 0.3f},  // straddling the near plane: less than the radius
  };
  for (const float *c : cases)
    EXPECT_NEAR(sphere_in_frustum(c[0], c[1], c[2], c[3]), c[4], 1e-6f)
        << "(" << c[0] << ", " << c[1] << ", " << c[2] << ") radius " << c[3];
}

TEST(Frustum, PerspectivePlanesAreNormalised)
{
  const float f = 2.4142137f, n = 0.1f, d = 100.0f;  // 45 degrees at 640 / 480
  const float projection[16] = {f * 0.75f, 0, 0, 0, 0, f, 0, 0, 0, 0, (d + n) / (n - d), -1,
                                0, 0, 2 * d * n / (n - d), 0};
  frustum_from_matrices(projection, identity);
  for (const float *p : frustum_planes)
    EXPECT_NEAR(p[0] * p[0] + p[1] * p[1] + p[2] * p[2], 1.0f, 1e-5f);
  EXPECT_NEAR(sphere_in_frustum(0, 0, -50, 0.001f), 50 - n + 0.001f, 1e-3f);
}

}  // namespace
