// Key scripts read and written, the game's recordings played back, and a
// level played headless (the simulator's and verify's play) tick for tick as
// the game's own level loop plays it.
#include "tests/support/headless.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_maps.h"
#include "replay/replay.h"
#include "world/game_rules.h"
#include "world/map_load.h"
#include "world/update.h"
#include "world/world.h"

#include <cstdio>
#include <cstdlib>

namespace {

using namespace std::string_literals;

// What a FILE * written in memory holds once it is closed.
struct memory_stream {
  char *text = nullptr;
  size_t size = 0;
  FILE *file = open_memstream(&text, &size);

  std::string close()
  {
    std::fclose(file);
    std::string said(text, size);
    std::free(text);
    return said;
  }
};

// The runs of a script written back as script lines, or the error it gives.
std::string read_back(const std::string &text)
{
  memory_stream errors;
  std::vector<key_run> runs;
  bool read = read_key_script(text, "keys", runs, errors.file);
  std::string said = errors.close();
  return read ? key_script_text(runs) : said;
}

TEST(KeyScript, ReadsRunsAndNamesTheFirstMistake)
{
  const std::pair<std::string, std::string> scripts[] = {
      {"3 UP\n\n2 left space # a comment\r1\r\n1000000 TAB END 1 2 3 4 down right",
       "3 UP\n2 LEFT SPACE\n1\n1000000 DOWN RIGHT 1 2 3 4 TAB END\n"},
      {"1 UP\n0 UP\n", "keys:2:1: tick count must be 1 to 1000000, got '0'\n"},
      {"1000001", "keys:1:1: tick count must be 1 to 1000000, got '1000001'\n"},
      {"  x UP", "keys:1:3: expected a tick count, got 'x'\n"},
      {"5 UP\n3 \x1b[2J\0X\n"s, "keys:2:3: unknown key '\\x1b[2J\\x00X'\n"},
      {"2 F12", "keys:1:3: unknown key 'F12'\n"},  // a screenshot needs a display
  };
  for (const auto &[text, read] : scripts)
    EXPECT_EQ(read_back(text), read) << text;
}

// --record notes the keys of every update, a line for each stretch of the
// same keys; --replay holds exactly those keys again, and never F12.
TEST(Recording, ReplaysTheKeysOfEveryUpdate)
{
  start_headless_allegro();
  scratch_folder folder;
  std::string path = folder.file("game.keys"), bad = folder.file("bad.keys");
  ASSERT_TRUE(start_recording(path.c_str(), "3"));
  begin_recorded_game();
  const std::vector<uint32_t> held = {1, 1, 0, 5, 5, 5};  // UP; none; UP and LEFT
  for (uint32_t keys : held) {
    hold_script_keys(keys);
    keys_for_update();
  }
  hold_script_keys(1);
  for (long tick = 0; tick <= MAX_TICKS_PER_LINE; tick++)
    keys_for_update();
  end_recorded_game();
  EXPECT_EQ(file_text(path), "# pilko recording: level 3\n2 UP\n1\n3 UP LEFT\n1000000 UP\n1 UP\n");

  write_file(bad, std::string("# pilko recording: level 2\n3 UP\n2 JUMP\n"));
  const char *level = "1";
  testing::internal::CaptureStderr();
  EXPECT_FALSE(load_replay(bad.c_str(), &level));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), bad + ":3:3: unknown key 'JUMP'\n");
  ASSERT_TRUE(load_replay(path.c_str(), &level));
  EXPECT_STREQ(level, "3");
  begin_recorded_game();
  for (size_t tick = 0; tick < held.size(); tick++) {
    hold_script_keys(~0u);
    key[KEY_F12] = 1;
    keys_for_update();
    EXPECT_EQ(held_script_keys(), held[tick]) << "tick " << tick;
    EXPECT_EQ(key[KEY_F12], 0) << "a replay took a screenshot";
  }
  EXPECT_TRUE(replaying() && !replay_over());
  end_recorded_game();
}

// The trajectory and enemy lines of a play, one level loop pass a tick as the
// game runs it: level completion, the world update, the frame's step.
std::vector<std::string> play_as_the_game(const std::vector<key_run> &runs)
{
  std::vector<std::string> lines;
  long tick = 0;
  for (const key_run &run : runs)
    for (long i = 0; i < run.ticks; i++) {
      handle_level_completion();
      hold_script_keys(run.keys);
      world_update();
      step_level_end();
      lines.push_back(hero_record(++tick));
      for (int e = 0; e < enemy_count; e++)
        lines.push_back(enemy_record(tick, e));
      if (level_has_ended() || no_lives_left())
        return lines;
    }
  return lines;
}

TEST(HeadlessPlay, PlaysALevelAsTheGameDoes)
{
  ASSERT_TRUE(start_headless());
  scratch_folder folder;
  // Two drops with lava between them, an enemy patrolling away from the hero's path.
  test_map map = walled_level(KIND_STONE_FLOOR);
  map.drop_marker[4][2] = map.drop_marker[2][6] = DROP_MARKER_DROP;
  map.kind[6][2] = KIND_LAVA;
  map.enemies = {{10, 20, TOWARD_PLUS_X}};
  std::string path = folder.file("map1.map");
  write_file(path, map_bytes(map));
  // Into the lava past the first drop, a revival that jumps, a turn, the last drop, the pause.
  std::vector<key_run> runs;
  ASSERT_TRUE(read_key_script("50 UP\n1\n1 SPACE\n40\n11 LEFT\n50 UP\n200\n", "keys", runs, stderr));

  ASSERT_TRUE(start_game(path.c_str()));
  memory_stream log;
  play_result played = play_runs(runs, {log.file, true, true});
  std::string simulated = log.close();
  EXPECT_TRUE(played.completed && !played.game_over && played.lives == 2) << simulated;
  ASSERT_TRUE(start_game(path.c_str()));
  std::string in_game;
  for (const std::string &line : play_as_the_game(runs))
    in_game += line + "\n";
  std::string records;  // the simulator's trajectory and enemy lines, without its events
  for (size_t at = 0, end; (end = simulated.find('\n', at)) != std::string::npos; at = end + 1)
    if (simulated.find(", z ", at) < end && simulated.compare(at, 5, "tick ") == 0)
      records += simulated.substr(at, end + 1 - at);
  EXPECT_EQ(records, in_game);
}

}  // namespace
