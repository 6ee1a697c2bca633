// Frustum planes and the sphere test, from matrices given directly (no GL).
#include <gtest/gtest.h>
#include <vector>

#include "render/render.h"
#include "world/world.h"

namespace {

TEST(Frustum, IdentityMatricesGiveTheUnitCubeAndSpheresTheirNearDistancePlusRadius)
{
  const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  frustum_from_matrices(identity, identity);
  const std::vector<float> planes(&frustum_planes[0][0], &frustum_planes[0][0] + 4 * FRUSTUM_PLANE_COUNT);
  EXPECT_EQ(planes, std::vector<float>({-1, 0, 0, 1, 1, 0, 0, 1, 0, 1, 0, 1,       // right, left, bottom
                                        0, -1, 0, 1, 0, 0, -1, 1, 0, 0, 1, 1}));  // top, far, near
  const float cases[][5] = {  // x, y, z, radius, result; touching a plane from outside is culled
    {0, 0, 0, 0.5f, 1.5f}, {3, 0, 0, 1, 0}, {1.99f, 0, 0, 1, 2}, {0, 0, -1.2f, 0.5f, 0.3f},
    {2, 0, 0, 1, 0}, {-2, 0, 0, 1, 0}, {0, -1.5f, 0, 0.5f, 0}, {0, 1.5f, 0, 0.5f, 0},
    {0, 0, 1.25f, 0.25f, 0}, {0, 0, -1.25f, 0.25f, 0}};
  for (const float *c : cases)
    EXPECT_NEAR(sphere_in_frustum(c[0], c[1], c[2], c[3]), c[4], 1e-6f)
        << "(" << c[0] << ", " << c[1] << ", " << c[2] << ") radius " << c[3];
  const float halved[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1};
  frustum_from_matrices(halved, identity);  // planes at 0.5 from the origin, normalised
  EXPECT_NEAR(sphere_in_frustum(0, 0, 0, 0.5f), 1.0f, 1e-6f);
}

}  // namespace
