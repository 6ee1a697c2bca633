// The rules of a game's start and a level's end: a new game after ESC in a
// level's end, and the simulator against the game's own level loop steps,
// tick by tick, over two levels.
#include <gtest/gtest.h>
#include <allegro.h>

#include "tests/support/scratch_folder.h"
#include "tests/update/play_maps.h"
#include "replay/replay.h"
#include "world/game_rules.h"
#include "world/update.h"
#include "world/world.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using lines = std::vector<std::string>;

// The trajectory and enemy lines of what pilko-sim prints for the map and the script.
lines simulate(const std::string &map, const std::string &script_path, std::string &output)
{
  FILE *sim = popen(("env -u DISPLAY " PILKO_SIM " --enemies " + map + " " + script_path).c_str(), "r");
  output.clear();
  for (int c; sim && (c = std::fgetc(sim)) != EOF;)
    output += (char)c;
  if (sim)
    pclose(sim);
  lines ticks;
  for (size_t at = 0, end; (end = output.find('\n', at)) != std::string::npos; at = end + 1) {
    std::string line = output.substr(at, end - at);
    if (line.rfind("tick ", 0) == 0 && line.find(", z ") != std::string::npos)
      ticks.push_back(line);
  }
  return ticks;
}

// The runs of a key script file, read as the simulator reads them.
std::vector<key_run> read_script(const std::string &path)
{
  std::vector<key_run> runs;
  EXPECT_TRUE(load_key_script(path.c_str(), runs, stderr)) << path;
  return runs;
}

// The state after one tick, in the simulator's records.
void record_tick(long tick, lines &out)
{
  out.push_back(hero_record(tick));
  for (int i = 0; i < enemy_count; i++)
    out.push_back(enemy_record(tick, i));
}

// Plays one level's script through the game's own steps, one level loop pass
// a tick: level completion, the world update, the frame's step of the level's
// end. Stops once the level has ended or the game is over, as the simulator
// does; returns the lines.
lines play_level_in_game(const std::vector<key_run> &runs)
{
  lines out;
  long tick = 0;
  for (const key_run &run : runs)
    for (long i = 0; i < run.ticks; i++) {
      handle_level_completion();
      hold_script_keys(run.keys);
      world_update();
      step_level_end();
      record_tick(++tick, out);
      if (level_has_ended() || no_lives_left())
        return out;
    }
  return out;
}

void expect_same_ticks(const lines &game, const lines &sim, int level)
{
  EXPECT_EQ(game.size(), sim.size()) << "level " << level;
  for (size_t i = 0; i < game.size() && i < sim.size(); i++)
    ASSERT_EQ(game[i], sim[i]) << "level " << level << ", line " << i;
}

class GameRules : public ::testing::Test {
protected:
  scratch_folder folder;
  std::string before = std::filesystem::current_path().string();

  void SetUp() override
  {
    static bool allegro = install_allegro(SYSTEM_NONE, &errno, std::atexit) == 0;
    ASSERT_TRUE(allegro);
    ASSERT_EQ(chdir(folder.path.c_str()), 0);
    mkdir("maps", 0755);
  }
  void TearDown() override { EXPECT_EQ(chdir(before.c_str()), 0); }

  void write_text(const std::string &path, const std::string &text)
  {
    FILE *out = std::fopen(path.c_str(), "w");
    ASSERT_TRUE(out);
    std::fputs(text.c_str(), out);
    std::fclose(out);
  }
};

}  // namespace

TEST_F(GameRules, NewGameStartsInPlayWithTheHeroAtRest)
{
  // Where ESC in the middle of a level's end leaves the state.
  level_phase = 40;
  end_zoom = 3.9f;
  end_spin = 195.0f;
  lives = 1;
  level_number = 4;
  current_camera = &camera_presets[3];

  start_new_game();

  EXPECT_EQ(level_phase, PHASE_PLAYING);
  EXPECT_EQ(end_zoom, 0.0f);
  EXPECT_EQ(end_spin, 0.0f);
  EXPECT_EQ(lives, START_LIVES);
  EXPECT_EQ(level_number, START_LEVEL);
  EXPECT_EQ(current_camera, &camera_presets[START_CAMERA]);
  EXPECT_FALSE(hero_rises());
}

TEST_F(GameRules, SimulatorPlaysTwoLevelsAsTheGameDoes)
{
  // Level 1: two drops, lava between them, an enemy patrolling away from the
  // hero's path; level 2 starts elsewhere with one drop and no enemy.
  test_map first = walled_level(TEST_KIND_STONE);
  first.drop_marker[4][2] = first.drop_marker[2][6] = DROP_MARKER_DROP;
  first.kind[6][2] = TEST_KIND_LAVA;
  first.enemies = {{10, 20, TOWARD_PLUS_X}};
  test_map second = walled_level(TEST_KIND_GRASS);
  second.start_x = second.start_y = 5;
  second.drop_marker[9][5] = DROP_MARKER_DROP;
  write_file("maps/map1.map", map_bytes(first));
  write_file("maps/map2.map", map_bytes(second));
  // Into the lava past the first drop, a revival that jumps, a turn, the last drop, the pause.
  write_text("first.keys", "50 UP\n1\n1 SPACE\n40\n11 LEFT\n50 UP\n200\n");
  write_text("second.keys", "60 UP\n200\n");

  std::string output;
  lines sim = simulate("maps/map1.map", "first.keys", output);
  ASSERT_NE(output.find("summary ticks"), std::string::npos) << output;
  EXPECT_NE(output.find("level-end"), std::string::npos) << "level 1 not completed:\n" << output;
  EXPECT_NE(output.find("lives 2 completed yes"), std::string::npos) << "no death on the way:\n" << output;

  start_new_game();
  ASSERT_EQ(load_current_level(), 1);
  expect_same_ticks(play_level_in_game(read_script("first.keys")), sim, 1);

  EXPECT_TRUE(level_has_ended());

  sim = simulate("maps/map2.map", "second.keys", output);
  EXPECT_NE(output.find("level-end"), std::string::npos) << "level 2 not completed:\n" << output;
  expect_same_ticks(play_level_in_game(read_script("second.keys")), sim, 2);
  EXPECT_EQ(level_number, 2);

  EXPECT_FALSE(handle_level_completion()) << "no map 3: no level goes on";
  EXPECT_EQ(level_number, 3);
  EXPECT_EQ(quit_request, 1);
  EXPECT_TRUE(campaign_complete()) << "no map 3: the game is won";
  start_new_game();
  EXPECT_FALSE(campaign_complete()) << "a new game has won nothing yet";
  quit_request = 0;
}

TEST_F(GameRules, ChosenFirstLevelStartsThereThenGoesOn)
{
  for (const char *path : {"maps/map3.map", "maps/map4.map"})
    write_file(path, map_bytes(walled_level(TEST_KIND_GRASS)));
  first_level = 3;
  start_new_game();
  first_level = START_LEVEL;
  EXPECT_EQ(level_number, 3);
  ASSERT_EQ(load_current_level(), 1);
  level_phase = PHASE_ADVANCE;
  EXPECT_TRUE(handle_level_completion()) << "map 4 is there to play";
  EXPECT_EQ(level_number, 4);
  EXPECT_EQ(quit_request, 0) << "map 4 is there to play";
}

TEST_F(GameRules, SingleMapEndGoesBackToTheTitle)
{
  write_file("alone.map", map_bytes(walled_level(TEST_KIND_GRASS)));
  write_file("maps/map2.map", map_bytes(walled_level(TEST_KIND_STONE)));
  // A path of any length is played as given: 1200 bytes of "./" do not fit map_path's buffer.
  std::string long_path;
  for (int i = 0; i < 600; i++)
    long_path += "./";
  long_path += "alone.map";
  single_map = long_path.c_str();
  start_new_game();
  ASSERT_EQ(load_current_level(), 1);
  EXPECT_EQ(current_map_path(), long_path);
  single_map = "alone.map";
  start_new_game();
  ASSERT_EQ(load_current_level(), 1);
  EXPECT_STREQ(current_map_path(), "alone.map");
  level_phase = PHASE_ADVANCE;
  handle_level_completion();
  single_map = nullptr;
  EXPECT_EQ(quit_request, 1) << "a single map goes on to no other level";
  EXPECT_FALSE(campaign_complete()) << "a level played alone is no campaign";
  EXPECT_EQ(level_phase, PHASE_PLAYING);
  EXPECT_EQ(level_number, START_LEVEL);
  quit_request = 0;
}
