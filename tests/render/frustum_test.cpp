// Frustum planes and the sphere test, from matrices given directly (no GL).
#include <gtest/gtest.h>

#include "game/world.h"
#include "render/render.h"

namespace {

const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// The perspective the game sets up: 45 degrees, 640 / 480, near 0.1, far 100.
void game_perspective(float out[16])
{
  const float f = 2.4142137f;  // cot(22.5 degrees)
  const float near_distance = 0.1f, far_distance = 100.0f;
  for (int k = 0; k < 16; k++)
    out[k] = 0.0f;
  out[0] = f / (640.0f / 480.0f);
  out[5] = f;
  out[10] = (far_distance + near_distance) / (near_distance - far_distance);
  out[11] = -1.0f;
  out[14] = 2.0f * far_distance * near_distance / (near_distance - far_distance);
}

TEST(Frustum, IdentityMatricesGiveTheUnitCubeInPlaneOrder)
{
  frustum_from_matrices(identity, identity);
  const float expected[FRUSTUM_PLANE_COUNT][4] = {
    {-1, 0, 0, 1},  // right
    {1, 0, 0, 1},   // left
    {0, 1, 0, 1},   // bottom
    {0, -1, 0, 1},  // top
    {0, 0, -1, 1},  // far
    {0, 0, 1, 1},   // near
  };
  for (int p = 0; p < FRUSTUM_PLANE_COUNT; p++)
    for (int k = 0; k < 4; k++)
      EXPECT_FLOAT_EQ(frustum_planes[p][k], expected[p][k]) << "plane " << p << " value " << k;
}

TEST(Frustum, SphereInsideReturnsNearDistancePlusRadius)
{
  frustum_from_matrices(identity, identity);
  EXPECT_FLOAT_EQ(sphere_in_frustum(0, 0, 0, 0.5f), 1.5f);
}

TEST(Frustum, SphereBeyondTheRightPlaneIsCulled)
{
  frustum_from_matrices(identity, identity);
  EXPECT_EQ(sphere_in_frustum(3, 0, 0, 1), 0.0f);  // distance -2 from the right plane
}

TEST(Frustum, SphereTouchingAPlaneFromOutsideIsCulled)
{
  frustum_from_matrices(identity, identity);
  // Centre at distance exactly -radius from each plane in turn.
  EXPECT_EQ(sphere_in_frustum(2, 0, 0, 1), 0.0f);
  EXPECT_EQ(sphere_in_frustum(-2, 0, 0, 1), 0.0f);
  EXPECT_EQ(sphere_in_frustum(0, -1.5f, 0, 0.5f), 0.0f);
  EXPECT_EQ(sphere_in_frustum(0, 1.5f, 0, 0.5f), 0.0f);
  EXPECT_EQ(sphere_in_frustum(0, 0, 1.25f, 0.25f), 0.0f);
  EXPECT_EQ(sphere_in_frustum(0, 0, -1.25f, 0.25f), 0.0f);
  // A hair inside passes.
  EXPECT_GT(sphere_in_frustum(1.99f, 0, 0, 1), 0.0f);
}

TEST(Frustum, SphereStraddlingTheNearPlanePassesWithLessThanItsRadius)
{
  frustum_from_matrices(identity, identity);
  float result = sphere_in_frustum(0, 0, -1.2f, 0.5f);  // centre 0.2 behind the near plane
  EXPECT_GT(result, 0.0f);
  EXPECT_LT(result, 0.5f);
  EXPECT_NEAR(result, 0.3f, 1e-6f);
}

TEST(Frustum, PlanesAreNormalisedForThePerspective)
{
  float projection[16];
  game_perspective(projection);
  frustum_from_matrices(projection, identity);
  for (int p = 0; p < FRUSTUM_PLANE_COUNT; p++) {
    const float *plane = frustum_planes[p];
    EXPECT_NEAR(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2], 1.0f, 1e-5f);
  }
  // The eye looks down -z: the near plane lies 0.1 ahead, the far plane 100.
  EXPECT_NEAR(sphere_in_frustum(0, 0, -50, 0.001f), 50 - 0.1f + 0.001f, 1e-3f);
  EXPECT_EQ(sphere_in_frustum(0, 0, -101, 0.5f), 0.0f);
  EXPECT_EQ(sphere_in_frustum(0, 0, 1, 0.5f), 0.0f);
}

TEST(Frustum, ModelviewMovesThePlanesIntoWorldCoordinates)
{
  float projection[16];
  game_perspective(projection);
  // The eye at world (10, 0, 0): a translation of the world by -10 along x.
  float modelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -10, 0, 0, 1};
  frustum_from_matrices(projection, modelview);
  EXPECT_GT(sphere_in_frustum(10, 0, -20, 1), 0.0f);
  EXPECT_EQ(sphere_in_frustum(0, 0, -5, 1), 0.0f);  // left of the view, close to the eye
}

}  // namespace
