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
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace std::string_literals;

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
  for (const auto &[text, read] : scripts) {  // the runs written back as script lines, or the error
    std::vector<key_run> runs;
    testing::internal::CaptureStderr();
    bool ok = read_key_script(text, "keys", runs, stderr);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(ok ? key_script_text(runs) : said, read) << text;
  }
}

// A game of 2 x ticks updates: UP held in the first half, or (alternating) in every other.
void record_game(long ticks, bool alternating = false)
{
  begin_recorded_game();
  for (long t = 0; t < 2 * ticks; t++) {
    key[KEY_UP] = alternating ? t % 2 : t < ticks;
    keys_for_update();
  }
  key[KEY_UP] = 0;
  end_recorded_game();
}
std::string recording_of(long ticks)
{
  return "# pilko recording: level 1\n" + std::to_string(ticks) + " UP\n" + std::to_string(ticks) + "\n";
}

// --record refuses at start-up, at once (never waiting on a FIFO), a place no recording can be
// written to, and leaves the file it takes alone until a game is recorded whole. A disk that
// fills up while a game is written (a file size limit stands in for it) is one warning, and the
// file keeps its last recording.
TEST(Recording, PlacesRefusedAtStartUpFileKeptUntilAGameIsWritten)
{
  start_headless_allegro();
  scratch_folder scratch;
  std::string path = scratch.file("game.keys"), fifo = scratch.file("fifo.keys"), folder = scratch.file("folder.keys");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  const std::pair<std::string, std::string> refused[] = {
      {fifo, "not a regular file"}, {folder, "a folder, not a file"}, {scratch.file("gone/game.keys"), "No such file or directory"}};
  for (const auto &[place, error] : refused) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(start_recording(place.c_str(), nullptr)) << place;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "pilko: " + place + ": cannot write: " + error + "\n");
  }
  ASSERT_TRUE(write_file(path, std::string("the last recording\n")));
  ASSERT_TRUE(start_recording(path.c_str(), nullptr));
  EXPECT_EQ(file_text(path), "the last recording\n") << "emptied at start-up";
  std::string warning;  // 200 bytes: room for the warning (captured in a file), not for the recording
  with_file_size_limit(200, [&] {
    testing::internal::CaptureStderr();
    record_game(200, true);  // a line a tick
    warning = testing::internal::GetCapturedStderr();
  });
  EXPECT_EQ(warning, "pilko: warning: " + path + ": cannot write: File too large; this game is not recorded\n");
  EXPECT_EQ(file_text(path), "the last recording\n");
  EXPECT_EQ(scratch.entries(), 3) << "a partial file left behind";
  record_game(30);
  EXPECT_EQ(file_text(path), recording_of(30));
  EXPECT_EQ(scratch.entries(), 3);
}

// Two games recording to one file at once: the one that ends last is the file, whole.
TEST(Recording, ConcurrentRecordersNeverMix)
{
  scratch_folder scratch;
  std::string path = scratch.file("game.keys");
  ASSERT_TRUE(start_recording(path.c_str(), nullptr));
  int began[2], ended[2];
  ASSERT_TRUE(pipe(began) == 0 && pipe(ended) == 0);
  char token = 0;
  pid_t other = fork();
  if (other == 0) {  // a second game, short, which begins first and ends last
    begin_recorded_game();
    bool ok = write(began[1], &token, 1) == 1 && read(ended[0], &token, 1) == 1;
    record_game(1);
    _exit(ok ? 0 : 1);
  }
  ASSERT_EQ(read(began[0], &token, 1), 1);
  record_game(5000);
  ASSERT_EQ(write(ended[1], &token, 1), 1);
  int status = 0;
  waitpid(other, &status, 0);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(file_text(path), recording_of(1));
  for (int fd : {began[0], began[1], ended[0], ended[1]})
    close(fd);
}

// --record notes the keys of every update, a line for each stretch of the
// same keys; --replay holds exactly those keys again, and never F12. (Last of
// the recording tests: a replay, once loaded, holds the keys of every update.)
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
std::string play_as_the_game(const std::vector<key_run> &runs)
{
  std::string lines;
  long tick = 0;
  for (const key_run &run : runs)
    for (long i = 0; i < run.ticks; i++) {
      handle_level_completion();
      hold_script_keys(run.keys);
      world_update();
      step_level_end();
      lines += hero_record(++tick) + "\n";
      for (int e = 0; e < enemy_count; e++)
        lines += enemy_record(tick, e) + "\n";
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
  testing::internal::CaptureStdout();
  play_result played = play_runs(runs, {stdout, true, true});
  std::string simulated = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(played.completed && !played.game_over && played.lives == 2) << simulated;
  std::string records;  // the simulator's trajectory and enemy lines, without its events
  for (size_t at = 0, end; (end = simulated.find('\n', at)) != std::string::npos; at = end + 1)
    if (simulated.find(", z ", at) < end && simulated.compare(at, 5, "tick ") == 0)
      records += simulated.substr(at, end + 1 - at);
  ASSERT_TRUE(start_game(path.c_str()));
  EXPECT_EQ(records, play_as_the_game(runs));
}

}  // namespace
