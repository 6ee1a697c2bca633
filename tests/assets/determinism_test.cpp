// Every asset tool makes the same bytes on every run, and the same bytes
// that the build put into the data folder.
#include <gtest/gtest.h>
#include "tests/assets/asset_files.h"

#include <cstdlib>
#include <string>

namespace {

// Runs a tool command; true when it succeeded.
bool run(const std::string &command)
{
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

class Tools : public ::testing::Test {
protected:
  std::string first = make_temp_folder(), second = make_temp_folder();

  void TearDown() override
  {
    remove_folder(first);
    remove_folder(second);
  }

  // The file from both runs and from the build is byte for byte the same.
  void expect_same(const std::string &name, const std::string &built)
  {
    std::vector<unsigned char> a = read_bytes(first + "/" + name);
    std::vector<unsigned char> b = read_bytes(second + "/" + name);
    ASSERT_FALSE(a.empty()) << name << " was not made";
    EXPECT_TRUE(a == b) << name << " differs between two runs";
    EXPECT_TRUE(a == read_bytes(built)) << name << " differs from the built " << built;
  }
};

}  // namespace

TEST_F(Tools, TextureMakerIsDeterministic)
{
  ASSERT_TRUE(run(std::string(TEXTURE_MAKER) + " " + first));
  ASSERT_TRUE(run(std::string(TEXTURE_MAKER) + " " + second));
  for (const char *name : texture_names)
    expect_same(name, data_file(std::string("graphics/") + name));
}

TEST_F(Tools, PictureMakerIsDeterministic)
{
  std::string textures = data_file("graphics");
  ASSERT_TRUE(run(std::string(PICTURE_MAKER) + " " + FONT_FOLDER + " " + textures + " " + first));
  ASSERT_TRUE(run(std::string(PICTURE_MAKER) + " " + FONT_FOLDER + " " + textures + " " + second));
  for (const char *name : picture_names)
    expect_same(name, data_file(std::string("graphics/") + name));
}

TEST_F(Tools, SoundMakerIsDeterministic)
{
  ASSERT_TRUE(run(std::string(SOUND_MAKER) + " " + first));
  ASSERT_TRUE(run(std::string(SOUND_MAKER) + " " + second));
  for (const char *name : sample_names)
    expect_same(name, data_file(std::string("sound/") + name));
}

TEST_F(Tools, MusicMakerIsDeterministic)
{
  ASSERT_TRUE(run(std::string(MUSIC_MAKER) + " " + first + "/kez.mid"));
  ASSERT_TRUE(run(std::string(MUSIC_MAKER) + " " + second + "/kez.mid"));
  expect_same("kez.mid", data_file("music/kez.mid"));
}

TEST_F(Tools, BitmapFontMakerIsDeterministic)
{
  ASSERT_TRUE(run(std::string(FONT_MAKER) + " " + HUD_FONT + " " + first + "/tolvane.emf"));
  ASSERT_TRUE(run(std::string(FONT_MAKER) + " " + HUD_FONT + " " + second + "/tolvane.emf"));
  expect_same("tolvane.emf", data_file("graphics/tolvane.emf"));
}

TEST_F(Tools, PatchIndexIsDeterministic)
{
  for (const std::string &folder : {first, second})
    ASSERT_TRUE(run(std::string(CMAKE_PROGRAM) + " -DPATCH_FOLDER=" + PATCH_FOLDER + " -DOUTPUT=" +
                    folder + "/default.cfg -P " + PATCH_INDEX_SCRIPT));
  expect_same("default.cfg", std::string(build_dir) + "/default.cfg");
}

TEST_F(Tools, ToolsRefuseAnUnwritableFolder)
{
  // A tool that cannot write its output says so and fails, rather than
  // leaving the build to find out later.
  EXPECT_FALSE(run(std::string(TEXTURE_MAKER) + " /nonexistent/folder"));
  EXPECT_FALSE(run(std::string(SOUND_MAKER) + " /nonexistent/folder"));
  EXPECT_FALSE(run(std::string(MUSIC_MAKER) + " /nonexistent/folder/kez.mid"));
  EXPECT_FALSE(run(std::string(FONT_MAKER) + " /nonexistent/font.ttf " + first + "/x.emf"));
}
