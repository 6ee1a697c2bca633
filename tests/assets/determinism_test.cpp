// Every asset tool makes the same bytes on two runs, and the bytes the build put in place.
#include <gtest/gtest.h>
#include "tests/assets/asset_files.h"

#include <cstdlib>

TEST(Tools, TwoRunsMakeTheBuiltBytes)
{
  const std::string tex = data_file("graphics");
  struct tool {
    std::string command;  // "%" stands for the output folder
    std::vector<std::string> files;
    std::string built;  // folder of the built files
  };
  std::vector<std::string> textures(texture_names, texture_names + 6);
  std::vector<std::string> pictures(picture_names, picture_names + 3);
  std::vector<std::string> samples(sample_names, sample_names + 5);
  const tool tools[] = {
      {std::string(TEXTURE_MAKER) + " %", textures, tex},
      {std::string(PICTURE_MAKER) + " " + FONT_FOLDER + " " + tex + " %", pictures, tex},
      {std::string(SOUND_MAKER) + " %", samples, data_file("sound")},
      {std::string(MUSIC_MAKER) + " %/kez.mid", {"kez.mid"}, data_file("music")},
      {std::string(FONT_MAKER) + " " + HUD_FONT + " %/tolvane.emf", {"tolvane.emf"}, tex},
      {std::string(CMAKE_PROGRAM) + " -DPATCH_FOLDER=" + PATCH_FOLDER +
           " -DOUTPUT=%/default.cfg -P " + PATCH_INDEX_SCRIPT, {"default.cfg"}, build_dir},
  };
  for (const tool &t : tools) {
    std::string runs[2] = {make_temp_folder(), make_temp_folder()};
    for (const std::string &folder : runs) {
      std::string command = t.command;
      for (size_t at; (at = command.find('%')) != std::string::npos;)
        command.replace(at, 1, folder);
      ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << command;
    }
    for (const std::string &name : t.files) {
      std::vector<unsigned char> a = read_bytes(runs[0] + "/" + name);
      ASSERT_FALSE(a.empty()) << name << " was not made";
      EXPECT_TRUE(a == read_bytes(runs[1] + "/" + name)) << name << " differs between two runs";
      EXPECT_TRUE(a == read_bytes(t.built + "/" + name)) << name << " differs from the built one";
    }
    for (const std::string &folder : runs)
      remove_folder(folder);
  }
}
