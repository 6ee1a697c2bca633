// F12 held in play on real OpenGL: one picture a tick, to the first free names of the series,
// written whole or not at all.
#include "tests/support/gl_fixture.h"
#include "tests/support/files.h"
#include "tests/support/run_command.h"
#include "tests/support/scratch_folder.h"

#include "game/screenshot.h"
#include "world/update.h"
#include "world/world.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A fresh folder as the working directory while it lives, the world on the
// untouched grid (a grass floor); the previous working directory comes back.
struct capture_folder {
  scratch_folder folder;
  std::string before = std::filesystem::current_path().string();

  capture_folder()
  {
    open_gl_test_context();
    EXPECT_EQ(chdir(folder.path.c_str()), 0);
    reset_world();
    screenshot_hook = save_screenshot;  // as the game sets it at start-up
  }
  ~capture_folder() { EXPECT_EQ(chdir(before.c_str()), 0); }
};

void hold_f12_for_ticks(int ticks)
{
  key[KEY_F12] = 1;
  for (int t = 0; t < ticks; t++)
    world_update();
  key[KEY_F12] = 0;
}

}  // namespace

// Free names 000 and 003 are filled first; a folder (001) and a link to nowhere (002) hold their
// names, and the link is never written through; past 999 the series goes on.
TEST(Screenshot, F12FillsGapsPastFoldersAndLinksThenPasses999)
{
  capture_folder folder;
  scratch_folder elsewhere;
  std::string outside = elsewhere.file("outside.tga");
  ASSERT_EQ(std::system("seq -f vgrab-%03g.tga 4 999 | xargs touch && mkdir vgrab-001.tga"), 0);
  ASSERT_EQ(symlink(outside.c_str(), "vgrab-002.tga"), 0);
  hold_f12_for_ticks(4);
  for (const char *name : {"vgrab-000.tga", "vgrab-003.tga", "vgrab-1000.tga", "vgrab-1001.tga"})
    EXPECT_EQ(run_command("identify -format %w " + std::string(name) + " 2>/dev/null").output, "640") << name;  // a whole picture
  EXPECT_NE(access("vgrab-1002.tga", F_OK), 0);
  EXPECT_NE(access(outside.c_str(), F_OK), 0) << "written through the link";
}

// A disk that fills up mid-write (a file size limit stands in for it).
TEST(Screenshot, FullDiskLeavesNoFileWarnsOnce)
{
  capture_folder folder;
  std::string first_game, second_game;
  with_file_size_limit(100000, [&] {  // the picture is 921,618 bytes
    testing::internal::CaptureStderr();
    hold_f12_for_ticks(3);
    first_game = testing::internal::GetCapturedStderr();
    allow_screenshot_warning();  // as a new game does
    testing::internal::CaptureStderr();
    hold_f12_for_ticks(2);
    second_game = testing::internal::GetCapturedStderr();
  });
  EXPECT_EQ(run_command("ls -A | sort").output, "") << "partial or empty files left behind";
  EXPECT_EQ(first_game, "pilko: warning: cannot save a screenshot here: File too large\n");
  EXPECT_EQ(second_game, first_game);
}
