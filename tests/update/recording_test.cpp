// --record: the file keeps its last recording until a game has been recorded, a game is written
// whole or not at all, and two games recording to one file never mix.
#include <gtest/gtest.h>
#include "game/quit_signal.h"
#include "replay/replay.h"
#include "tests/support/scratch_folder.h"
#include "tools/asset-kit/files.h"

#include <allegro.h>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class Recording : public ::testing::Test {
protected:
  static void SetUpTestSuite() { ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, atexit), 0); }

  scratch_folder scratch;
  std::string path = scratch.file("game.keys");

  // A game of 2 x ticks updates: UP held in the first half, or (alternating) in every other.
  static void record_game(long ticks, bool alternating = false)
  {
    begin_recorded_game();
    for (long t = 0; t < 2 * ticks; t++) {
      key[KEY_UP] = alternating ? t % 2 : t < ticks;
      keys_for_update();
    }
    key[KEY_UP] = 0;
    end_recorded_game();
  }

  static std::string recording_of(long ticks)
  {
    return "# pilko recording: level 1\n" + std::to_string(ticks) + " UP\n" + std::to_string(ticks) + "\n";
  }

  // How many names the scratch folder holds.
  long entries()
  {
    auto names = std::filesystem::directory_iterator(scratch.path);
    return std::distance(begin(names), end(names));
  }
};

}  // namespace

TEST_F(Recording, FileKeptUntilAGameIsRecorded)
{
  ASSERT_TRUE(write_file(path, std::string("the last recording\n")));
  ASSERT_TRUE(start_recording(path.c_str(), nullptr));
  EXPECT_EQ(file_text(path), "the last recording\n") << "emptied at start-up";
  record_game(30);
  EXPECT_EQ(file_text(path), recording_of(30));
  EXPECT_EQ(entries(), 1);
}

// Places no recording can be written to are refused at start-up, at once and without waiting
// on a FIFO; nothing there changes.
TEST_F(Recording, UnwritablePlacesRefusedAtStartUp)
{
  std::string fifo = scratch.file("fifo.keys"), folder = scratch.file("folder.keys");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  const struct {
    std::string path, error;
  } refused[] = {{fifo, "not a regular file"},
                 {folder, "a folder, not a file"},
                 {scratch.file("gone/game.keys"), "No such file or directory"}};
  for (const auto &place : refused) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(start_recording(place.path.c_str(), nullptr)) << place.path;
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "pilko: " + place.path + ": cannot write: " + place.error + "\n");
  }
  EXPECT_EQ(entries(), 2);
}

// A disk that fills up while the recording is written (a file size limit stands in for it, as
// for /dev/full or a full tmpfs): one warning, and the file keeps its last recording.
TEST_F(Recording, FailedWriteWarnsAndKeepsTheLastRecording)
{
  ASSERT_TRUE(write_file(path, std::string("the last recording\n")));
  ASSERT_TRUE(start_recording(path.c_str(), nullptr));
  ignore_write_signals();  // as the game does at start-up
  rlimit before{};
  getrlimit(RLIMIT_FSIZE, &before);
  rlimit small = before;
  small.rlim_cur = 200;  // room for the warning (captured in a file), not for the recording
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  testing::internal::CaptureStderr();
  record_game(200, true);  // a line a tick
  std::string warning = testing::internal::GetCapturedStderr();
  setrlimit(RLIMIT_FSIZE, &before);
  EXPECT_EQ(warning, "pilko: warning: " + path + ": cannot write: File too large; this game is not recorded\n");
  EXPECT_EQ(file_text(path), "the last recording\n");
  EXPECT_EQ(entries(), 1) << "a partial file left behind";
}

// Two games recording to one file at once: the one that ends last is the file, whole.
TEST_F(Recording, ConcurrentRecordersNeverMix)
{
  ASSERT_TRUE(start_recording(path.c_str(), nullptr));
  int began[2], ended[2];
  ASSERT_EQ(pipe(began), 0);
  ASSERT_EQ(pipe(ended), 0);
  char token = 0;
  pid_t other = fork();
  if (other == 0) {  // a second game, short, which begins first and ends last
    begin_recorded_game();
    bool ok = write(began[1], &token, 1) == 1 && read(ended[0], &token, 1) == 1;
    key[KEY_UP] = 1;
    keys_for_update();
    key[KEY_UP] = 0;
    keys_for_update();
    end_recorded_game();
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
