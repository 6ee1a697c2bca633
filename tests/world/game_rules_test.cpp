// The rules of a game's start and a level's end, as the level loop runs
// them: the level-complete sequence, and what follows it.
#include "tests/support/headless.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_maps.h"
#include "world/game_rules.h"
#include "world/update.h"
#include "world/world.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The sequence as the level loop runs it: its beginning, then a world update
// (phase 2 first) and a frame's step each tick.
TEST(GameRules, LevelEndRisesAndSpinsForNinetyTicksAndANewGameStartsInPlay)
{
  start_headless_allegro();
  start_new_game();
  drops_left = 1;
  EXPECT_FALSE(begin_level_complete()) << "a drop is left";
  drops_left = 0;
  ASSERT_TRUE(begin_level_complete());
  EXPECT_FALSE(begin_level_complete()) << "the sequence began again";
  int ticks = 0, rising = 0;
  for (; !level_has_ended() && ticks < 200; ticks++) {
    world_update();
    rising += hero_rises();
    step_level_end();
  }
  EXPECT_EQ(ticks, 90);
  EXPECT_EQ(rising, 88);
  EXPECT_NEAR(end_zoom, 8.8f, 1e-3f);   // 88 rises of 0.1
  EXPECT_NEAR(end_spin, 80.0f, 1e-3f);  // 88 turns of 5 degrees, less a full turn
  // Esc in a level's end and a new game from the title: it starts in play.
  lives = 1, level_number = 4, current_camera = &camera_presets[3];
  start_new_game();
  EXPECT_EQ(std::vector<float>({(float)level_phase, end_zoom, end_spin, (float)lives, (float)level_number}),
            std::vector<float>({PHASE_PLAYING, 0, 0, START_LIVES, START_LEVEL}));
  EXPECT_EQ(current_camera, &camera_presets[START_CAMERA]);
  EXPECT_FALSE(hero_rises() || no_lives_left());
  lives = 0;
  EXPECT_TRUE(no_lives_left());
}

// What follows a level's end: the next map, or back to the title.
TEST(GameRules, LevelEndGoesOnOrBackToTheTitle)
{
  scratch_folder folder;
  std::string before = std::filesystem::current_path();
  ASSERT_EQ(chdir(folder.path.c_str()), 0);
  mkdir("maps", 0755);
  test_map next;
  next.drop_marker[3][3] = DROP_MARKER_DROP;
  write_file("maps/map3.map", map_bytes(next));
  write_file("maps/map5.map", std::string("cut"));
  write_file("alone.map", map_bytes(next));
  const struct {
    int level;
    const char *single_map;
    bool goes_on;
    int next_level, quit;
    bool won;
    const char *said;
  } cases[] = {
      {2, nullptr, true, 3, 0, false, ""},
      {4, nullptr, false, 5, 1, false,
       "pilko: cannot read maps/map5.map: too short: 3 bytes of at least 7512; back to the title\n"},
      {5, nullptr, false, 6, 1, true, ""},  // no map 6: the campaign is won
      {2, "alone.map", false, 2, 1, false, ""},
  };
  for (const auto &c : cases) {
    single_map = c.single_map;
    first_level = c.level;
    start_new_game();
    first_level = START_LEVEL;
    ASSERT_EQ(load_current_level(), c.single_map ? 1 : 0) << c.level;
    drops_left = 0;
    level_phase = PHASE_ADVANCE;
    testing::internal::CaptureStderr();
    EXPECT_EQ(handle_level_completion(), c.goes_on) << c.level;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.said) << c.level;
    EXPECT_EQ(std::vector<int>({level_number, quit_request, campaign_complete(), level_phase, drops_left}),
              std::vector<int>({c.next_level, c.quit, c.won, PHASE_PLAYING, c.quit ? 0 : 1})) << c.level;
    quit_request = 0;
  }
  start_new_game();
  EXPECT_FALSE(campaign_complete()) << "a new game has won nothing yet";
  // A path of any length is played as given: ".", 1,100 slashes, "alone.map".
  std::string long_path = "." + std::string(1100, '/') + "alone.map";
  single_map = long_path.c_str();
  start_new_game();
  EXPECT_EQ(load_current_level(), 1);
  EXPECT_EQ(current_map_path(), long_path);
  single_map = nullptr;
  EXPECT_EQ(chdir(before.c_str()), 0);
}

}  // namespace
