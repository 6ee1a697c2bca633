// Frustum planes and the sphere test, from matrices given directly (no GL).
#include <gtest/gtest.h>
#include <vector>

#include "render/render.h"
#include "world/world.h"

namespace {

const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

TEST(Frustum, IdentityGivesTheUnitCube)
{
  frustum_from_matrices(identity, identity);
  const struct { const char *name; std::vector<float> plane; } planes[FRUSTUM_PLANE_COUNT] = {
    {"right", {-1, 0, 0, 1}}, {"left", {1, 0, 0, 1}}, {"bottom", {0, 1, 0, 1}},
    {"top", {0, -1, 0, 1}},   {"far", {0, 0, -1, 1}}, {"near", {0, 0, 1, 1}},
  };
  for (int i = 0; i < FRUSTUM_PLANE_COUNT; i++)
    EXPECT_EQ(std::vector<float>(frustum_planes[i], frustum_planes[i] + 4), planes[i].plane) << planes[i].name;
}

// sphere_in_frustum: 0 when the sphere is outside, else its distance from the near plane plus its radius.
TEST(Frustum, SphereTestGivesNearDistancePlusRadius)
{
  frustum_from_matrices(identity, identity);
  const struct { const char *name; float x, y, z, radius, result; } cases[] = {
    {"at the centre", 0, 0, 0, 0.5f, 1.5f},
    {"near the near plane", 0, 0, -1.2f, 0.5f, 0.3f},
    {"overlapping the right plane", 1.99f, 0, 0, 1, 2},
    {"beyond the right plane", 3, 0, 0, 1, 0},
    {"touching the right plane from outside", 2, 0, 0, 1, 0},
    {"touching the left plane from outside", -2, 0, 0, 1, 0},
    {"touching the bottom plane from outside", 0, -1.5f, 0, 0.5f, 0},
    {"touching the top plane from outside", 0, 1.5f, 0, 0.5f, 0},
    {"touching the far plane from outside", 0, 0, 1.25f, 0.25f, 0},
    {"touching the near plane from outside", 0, 0, -1.25f, 0.25f, 0},
  };
  for (const auto &c : cases)
    EXPECT_NEAR(sphere_in_frustum(c.x, c.y, c.z, c.radius), c.result, 1e-6f) << c.name;
}

TEST(Frustum, PlanesAreNormalised)
{
  const float halved[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1};
  frustum_from_matrices(halved, identity);  // planes at 0.5 from the origin
  EXPECT_NEAR(sphere_in_frustum(0, 0, 0, 0.5f), 1.0f, 1e-6f);
}

}  // namespace
