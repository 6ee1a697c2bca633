// pilko-sim as level authors use it, without a display: a map and a key script in, trajectory and events out.
#include <gtest/gtest.h>

#include "tests/support/scratch_folder.h"
#include "tests/support/test_maps.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

// What pilko-sim prints for the level and the key script, then "exit" and its exit status.
std::string simulate(const std::string &options, const test_map &map, const std::string &script)
{
  scratch_folder scratch;
  const std::string &folder = scratch.path;
  write_file(folder + "/level.map", map_bytes(map));
  std::ofstream(folder + "/keys.txt") << script;
  FILE *sim = popen(("cd " + folder + " && env -u DISPLAY " PILKO_SIM " " + options +
                     " level.map keys.txt; echo exit $?").c_str(), "r");
  std::string out;
  for (int c; (c = std::fgetc(sim)) != EOF;)
    out += (char)c;
  pclose(sim);
  return out;
}

}  // namespace

TEST(Simulator, PrintsTheTrajectoryAndTheEventsOfAPlay)
{
  test_map map = walled_level();
  map.drop_marker[10][10] = 0;
  EXPECT_EQ(simulate("", map, "1 UP\n1 LEFT\n"),
            "start cell (2, 2), world (4.000, 4.000), z 0.000 heading 0 drops 1 enemies 0 lives 3\n"
            "tick 1 cell (2, 2), world (4.150, 4.000), z 0.000 heading 0 grounded\n"
            "tick 2 cell (2, 2), world (4.150, 4.000), z 0.000 heading 8 grounded\n"
            "summary ticks 2 drops_left 1 lives 3 completed no\nexit 0\n");
  map = walled_level();
  map.kind[3][2] = KIND_LAVA;
  map.drop_marker[2][3] = 0;
  std::string script = "# into the lava\n10 UP\n1 SPACE\n40\n11 left\n10 UP\n100\n";
  EXPECT_EQ(simulate("--events --require-complete", map, script),
            "start cell (2, 2), world (4.000, 4.000), z 0.000 heading 0 drops 1 enemies 0 lives 3\n"
            "tick 7 death lava floor cell (3, 2), world (6.000, 4.000)\n"
            "tick 11 revival lives 2\n"
            "tick 11 jump\n"
            "tick 45 land\n"
            "tick 69 drop cell (2, 3), world (4.000, 6.000) left 0\n"
            "tick 69 complete\n"
            "tick 159 level-end\n"
            "summary ticks 159 drops_left 0 lives 2 completed yes\nexit 0\n");
}

TEST(Simulator, NamesEachDeathsCauseAndCell)
{
  test_map map = walled_level();
  map.kind[4][2] = KIND_LAVA;
  map.height[4][2] = 1.0f;  // a lava block ahead of the hero
  map.drop_marker[2][3] = 0;
  map.enemies.push_back({2, 12, 0});  // walking -y toward the revived hero
  std::string out = simulate("--events", map, "20 UP\n1 SPACE\n100\n");
  EXPECT_NE(out.find("tick 15 death lava block cell (4, 2), world (8.000, 4.000)\n"), std::string::npos) << out;
  EXPECT_NE(out.find("tick 94 death enemy 1 cell (2, 3), world (4.000, 5.200)\n"), std::string::npos) << out;
}
