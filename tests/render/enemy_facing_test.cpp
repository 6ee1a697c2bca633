// The angle an enemy is drawn turned by, for every direction a map can store.
#include <gtest/gtest.h>
#include <cstdint>
#include <limits>

#include "render/render.h"

namespace {

TEST(EnemyFacing, FourDirectionsTurnByQuarters)
{
  // Exactly the angles the frame has always used: the pictures stay the same.
  EXPECT_EQ(enemy_facing(0), -90.0f) << "toward -y";
  EXPECT_EQ(enemy_facing(1), 0.0f) << "toward +x";
  EXPECT_EQ(enemy_facing(2), 90.0f) << "toward +y";
  EXPECT_EQ(enemy_facing(3), 180.0f) << "toward -x";
}

TEST(EnemyFacing, HostileDirectionsStayWithinOneTurn)
{
  // 90 x (2^31 - 1) does not fit in 32 bits; the angle is still the true one
  // reduced to a turn.
  EXPECT_EQ(enemy_facing(std::numeric_limits<int32_t>::max()), 180.0f);
  EXPECT_EQ(enemy_facing(std::numeric_limits<int32_t>::min()), -90.0f);
  EXPECT_EQ(enemy_facing(-1), -180.0f) << "a free slot";
  EXPECT_EQ(enemy_facing(5), 0.0f);
}

}  // namespace
