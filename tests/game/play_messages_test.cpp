// The words play shows over the scene: what a death costs.
#include <gtest/gtest.h>
#include "game/play_messages.h"

TEST(DeathLine, SaysWhatSpaceCostsAndWhenItEndsTheGame)
{
  // lives: as the status line shows them while the hero lies dead.
  const struct {
    int lives;
    const char *says;
  } cases[] = {
      {3, "Press SPACE to come back to life (2 lives left)"},
      {2, "Press SPACE to come back to life (1 life left)"},
      {1, "Last life lost: press SPACE to end the game"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(death_line(c.lives), c.says) << c.lives << " lives";
}
