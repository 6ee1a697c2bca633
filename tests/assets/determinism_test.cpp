// Every asset tool makes the same bytes on two runs, and the bytes the build put in place.
#include <gtest/gtest.h>
#include "tests/assets/asset_files.h"
#include "tests/support/scratch_folder.h"

#include <cstdlib>

TEST(Tools, TwoRunsMakeTheBuiltBytes)
{
  const std::string tex = data_file("graphics");
  const struct {
    std::string command;  // "%" stands for the output folder
    std::vector<std::string> files;
    std::string built;  // folder of the built files
  } tools[] = {
      {TEXTURE_MAKER " %", {std::begin(texture_names), std::end(texture_names)}, tex},
      {PICTURE_MAKER " " FONT_FOLDER " " + tex + " %",
       {std::begin(picture_names), std::end(picture_names)}, tex},
      {SOUND_MAKER " %", {std::begin(sample_names), std::end(sample_names)}, data_file("sound")},
      {MUSIC_MAKER " %/kez.mid", {"kez.mid"}, data_file("music")},
      {FONT_MAKER " " HUD_FONT " %/tolvane.emf", {"tolvane.emf"}, tex},
      {CMAKE_PROGRAM " -DPATCH_FOLDER=" PATCH_FOLDER " -DOUTPUT=%/default.cfg -P " PATCH_INDEX_SCRIPT,
       {"default.cfg"}, PILKO_BUILD_DIR},
  };
  for (const auto &t : tools) {
    scratch_folder runs[2];
    for (const scratch_folder &folder : runs) {
      std::string command = t.command;
      for (size_t at; (at = command.find('%')) != std::string::npos;)
        command.replace(at, 1, folder.path);
      ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << command;
    }
    for (const std::string &name : t.files) {
      std::vector<unsigned char> a = read_bytes(runs[0].file(name));
      ASSERT_FALSE(a.empty()) << name << " was not made";
      EXPECT_TRUE(a == read_bytes(runs[1].file(name))) << name << " differs between two runs";
      EXPECT_TRUE(a == read_bytes(t.built + "/" + name)) << name << " differs from the built one";
    }
  }
}
