// Every generated file opens through the Allegro calls the game uses, and
// reads the same in an independent program (ImageMagick, sox).
#include <gtest/gtest.h>
#include "tests/assets/asset_files.h"

#include <allegro.h>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

constexpr int SCREEN_WIDTH = 640, SCREEN_HEIGHT = 480;
// The game draws the game-over picture at (161, 213).
constexpr int BANNER_X = 161, BANNER_Y = 213;
constexpr double LONGEST_EFFECT = 2.0;  // seconds
// A sample starts and ends this close to silence, or it clicks.
constexpr int CLICK_LIMIT = 300;  // of 32767
// Loudest and quietest effect within this many decibels of each other.
constexpr double LEVEL_SPREAD_DB = 3.0;

// Allegro without a screen: enough for its file loaders. Pictures keep
// their own colour depth.
class AllegroFiles : public ::testing::Test {
protected:
  static void SetUpTestSuite()
  {
    ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, atexit), 0);
    set_color_conversion(COLORCONV_NONE);
  }
};

// Width and height as ImageMagick reads them: "W H".
std::string identify_size(const std::string &path)
{
  return command_output("identify -format '%w %h' '" + path + "' 2>/dev/null");
}

// The pixels as ImageMagick decodes them, top row first, R G B bytes.
std::string imagemagick_rgb(const std::string &path)
{
  return command_output("convert '" + path + "' -depth 8 rgb:- 2>/dev/null");
}

// Compares Allegro's pixels of a loaded picture with ImageMagick's.
void expect_same_pixels(BITMAP *b, const std::string &path)
{
  std::string peer = imagemagick_rgb(path);
  ASSERT_EQ(peer.size(), static_cast<size_t>(b->w) * b->h * 3) << path;
  int mismatches = 0;
  for (int y = 0; y < b->h; ++y)
    for (int x = 0; x < b->w; ++x) {
      int c = getpixel(b, x, y);
      const unsigned char *p = reinterpret_cast<const unsigned char *>(&peer[(y * b->w + x) * 3]);
      if (getr24(c) != p[0] || getg24(c) != p[1] || getb24(c) != p[2])
        ++mismatches;
    }
  EXPECT_EQ(mismatches, 0) << path << ": Allegro and ImageMagick disagree (flipped rows?)";
}

}  // namespace

TEST_F(AllegroFiles, TexturesAre24BitWithPowerOfTwoSides)
{
  for (const char *name : texture_names) {
    std::string path = data_file(std::string("graphics/") + name);
    BITMAP *b = load_bitmap(path.c_str(), nullptr);
    ASSERT_NE(b, nullptr) << path;
    EXPECT_EQ(bitmap_color_depth(b), 24) << path;
    EXPECT_TRUE(is_power_of_two(b->w) && is_power_of_two(b->h)) << path << " is " << b->w << "x" << b->h;
    EXPECT_EQ(identify_size(path), std::to_string(b->w) + " " + std::to_string(b->h)) << path;
    expect_same_pixels(b, path);
    destroy_bitmap(b);
  }
}

TEST_F(AllegroFiles, TexturesHaveNoMaskColour)
{
  // The texture loader draws images as sprites, which skip (255, 0, 255):
  // such a pixel would turn into a black hole.
  for (const char *name : texture_names) {
    std::string path = data_file(std::string("graphics/") + name);
    BITMAP *b = load_bitmap(path.c_str(), nullptr);
    ASSERT_NE(b, nullptr) << path;
    int masked = 0;
    for (int y = 0; y < b->h; ++y)
      for (int x = 0; x < b->w; ++x)
        masked += getpixel(b, x, y) == bitmap_mask_color(b);
    EXPECT_EQ(masked, 0) << path;
    destroy_bitmap(b);
  }
}

TEST_F(AllegroFiles, PicturesHaveTheirScreenSizes)
{
  const int sizes[3][2] = {{SCREEN_WIDTH, SCREEN_HEIGHT}, {SCREEN_WIDTH, SCREEN_HEIGHT}, {318, 54}};
  for (int i = 0; i < 3; ++i) {
    std::string path = data_file(std::string("graphics/") + picture_names[i]);
    BITMAP *b = load_bitmap(path.c_str(), nullptr);
    ASSERT_NE(b, nullptr) << path;
    EXPECT_GE(bitmap_color_depth(b), 24) << path << " is not true-colour";
    EXPECT_EQ(b->w, sizes[i][0]) << path;
    EXPECT_EQ(b->h, sizes[i][1]) << path;
    EXPECT_EQ(identify_size(path), std::to_string(sizes[i][0]) + " " + std::to_string(sizes[i][1]));
    expect_same_pixels(b, path);
    destroy_bitmap(b);
  }
}

TEST_F(AllegroFiles, GameOverBannerSitsInTheMiddleOfTheScreen)
{
  BITMAP *b = load_bitmap(data_file("graphics/gameover.tga").c_str(), nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(BANNER_X + b->w / 2, SCREEN_WIDTH / 2);
  EXPECT_EQ(BANNER_Y + b->h / 2, SCREEN_HEIGHT / 2);
  destroy_bitmap(b);
}

TEST_F(AllegroFiles, SamplesAreShortCleanSixteenBitPcm)
{
  for (const char *name : sample_names) {
    std::string path = data_file(std::string("sound/") + name);
    SAMPLE *s = load_sample(path.c_str());
    ASSERT_NE(s, nullptr) << path;
    EXPECT_EQ(s->bits, 16) << path;
    EXPECT_FALSE(s->stereo) << path;
    double seconds = double(s->len) / s->freq;
    EXPECT_GT(seconds, 0.05) << path;
    EXPECT_LT(seconds, LONGEST_EFFECT) << path;
    // Allegro keeps 16-bit samples unsigned, centred on 0x8000.
    const unsigned short *data = static_cast<const unsigned short *>(s->data);
    EXPECT_LT(std::abs(int(data[0]) - 0x8000), CLICK_LIMIT) << path << " starts with a click";
    EXPECT_LT(std::abs(int(data[s->len - 1]) - 0x8000), CLICK_LIMIT) << path << " ends with a click";
    // sox reads the same file with the same rate and length.
    EXPECT_EQ(command_output("soxi -r '" + path + "' 2>/dev/null"), std::to_string(s->freq) + "\n")
        << path;
    EXPECT_EQ(command_output("soxi -s '" + path + "' 2>/dev/null"), std::to_string(s->len) + "\n")
        << path;
    destroy_sample(s);
  }
}

TEST_F(AllegroFiles, SampleLevelsAreMatched)
{
  double loudest = -1e9, quietest = 1e9;
  for (const char *name : sample_names) {
    std::string path = data_file(std::string("sound/") + name);
    std::string stat = command_output("sox '" + path + "' -n stat 2>&1");
    size_t at = stat.find("RMS     amplitude:");
    ASSERT_NE(at, std::string::npos) << path << ": " << stat;
    double rms = std::atof(stat.c_str() + at + 18);
    ASSERT_GT(rms, 0.0) << path << " is silent";
    double db = 20 * std::log10(rms);
    loudest = std::max(loudest, db);
    quietest = std::min(quietest, db);
  }
  EXPECT_LT(loudest - quietest, LEVEL_SPREAD_DB);
}

TEST_F(AllegroFiles, MusicLoads)
{
  MIDI *m = load_midi(data_file("music/kez.mid").c_str());
  ASSERT_NE(m, nullptr);
  destroy_midi(m);
}
