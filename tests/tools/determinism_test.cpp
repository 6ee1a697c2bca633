// Every asset tool makes the same bytes on two runs, and the bytes the build put in place.
#include <gtest/gtest.h>
#include "tests/tools/asset_files.h"
#include "tests/support/scratch_folder.h"

#include <cstdlib>

TEST(Tools, TwoRunsMakeTheBuiltBytes)
{
  const struct {
    std::string command;  // "%" stands for the output folder, laid out as the data folder
    std::vector<std::string> files;
    std::string built = PILKO_DATA_DIR;  // folder of the built files
  } tools[] = {
      {TEXTURE_MAKER " %", {std::begin(TEXTURE_FILES), std::end(TEXTURE_FILES)}},
      {PICTURE_MAKER " " FONT_FOLDER " " PILKO_DATA_DIR " %", {std::begin(PICTURE_FILES), std::end(PICTURE_FILES)}},
      {SOUND_MAKER " %", {std::begin(SOUND_FILES), std::end(SOUND_FILES)}},
      {MUSIC_MAKER " %/" + std::string(MUSIC_FILE), {MUSIC_FILE}},
      {FONT_MAKER " " HUD_FONT " %/" + std::string(HUD_FONT_FILE), {HUD_FONT_FILE}},
      {VECTOR_FONT_MAKER " " TRUETYPE_SOURCE " %/" + std::string(VECTOR_FONT_FILE), {VECTOR_FONT_FILE}},
      {CMAKE_PROGRAM " -DPATCH_FOLDER=" PATCH_FOLDER " -DOUTPUT=%/default.cfg -P " PATCH_INDEX_SCRIPT,
       {"default.cfg"}, PILKO_BUILD_DIR},
  };
  for (const auto &t : tools) {
    scratch_folder runs[2];
    for (const scratch_folder &folder : runs) {
      for (const char *sub : {"graphics", "sound", "music", "fonts"})
        std::filesystem::create_directory(folder.file(sub));
      std::string command = t.command;
      for (size_t at; (at = command.find('%')) != std::string::npos;)
        command.replace(at, 1, folder.path);
      ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << command;
    }
    for (const std::string &name : t.files) {
      std::vector<unsigned char> a = file_bytes(runs[0].file(name));
      ASSERT_FALSE(a.empty()) << name << " was not made";
      EXPECT_TRUE(a == file_bytes(runs[1].file(name))) << name << " differs between two runs";
      EXPECT_TRUE(a == file_bytes(t.built + "/" + name)) << name << " differs from the built one";
    }
  }
}
