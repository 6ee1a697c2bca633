// Every generated file opens through the game's Allegro calls and reads the same in a peer
// program (ImageMagick, sox).
#include <gtest/gtest.h>
#include "tests/assets/asset_files.h"

#include <allegro.h>
#include <cmath>

namespace {

class AllegroFiles : public ::testing::Test {
protected:
  static void SetUpTestSuite()
  {
    ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, atexit), 0);
    set_color_conversion(COLORCONV_NONE);  // pictures keep their own depth
  }
};

// load_bitmap's picture, checked against ImageMagick's size and pixels; null if it fails.
BITMAP *load_like_imagemagick(const std::string &path)
{
  BITMAP *b = load_bitmap(path.c_str(), nullptr);
  EXPECT_NE(b, nullptr) << path;
  if (!b)
    return nullptr;
  EXPECT_EQ(command_output("identify -format '%w %h' '" + path + "' 2>/dev/null"),
            std::to_string(b->w) + " " + std::to_string(b->h));
  std::string peer = command_output("convert '" + path + "' -depth 8 rgb:- 2>/dev/null");
  EXPECT_EQ(peer.size(), size_t(b->w) * b->h * 3) << path;
  int mismatches = 0;
  for (int y = 0; y < b->h && peer.size() == size_t(b->w) * b->h * 3; ++y)
    for (int x = 0; x < b->w; ++x) {
      int c = getpixel(b, x, y);
      const unsigned char *p = reinterpret_cast<const unsigned char *>(&peer[(y * b->w + x) * 3]);
      mismatches += getr24(c) != p[0] || getg24(c) != p[1] || getb24(c) != p[2];
    }
  EXPECT_EQ(mismatches, 0) << path << ": Allegro and ImageMagick disagree (flipped rows?)";
  return b;
}

}  // namespace

TEST_F(AllegroFiles, TexturesAre24BitPowerOfTwoWithoutMaskColour)
{
  for (const char *name : texture_names) {
    BITMAP *b = load_like_imagemagick(data_file(std::string("graphics/") + name));
    if (!b)
      continue;
    EXPECT_EQ(bitmap_color_depth(b), 24) << name;
    EXPECT_TRUE(is_power_of_two(b->w) && is_power_of_two(b->h)) << name;
    // The game draws textures as sprites, so (255, 0, 255) would turn into a black hole.
    int masked = 0;
    for (int y = 0; y < b->h; ++y)
      for (int x = 0; x < b->w; ++x)
        masked += getpixel(b, x, y) == bitmap_mask_color(b);
    EXPECT_EQ(masked, 0) << name;
    destroy_bitmap(b);
  }
}

TEST_F(AllegroFiles, PicturesAreTrueColourWithTheirScreenSizes)
{
  // The game-over banner is 318 x 54 so that drawn at (161, 213) it is centred.
  const int sizes[3][2] = {{640, 480}, {640, 480}, {318, 54}};
  for (int i = 0; i < 3; ++i) {
    BITMAP *b = load_like_imagemagick(data_file(std::string("graphics/") + picture_names[i]));
    if (!b)
      continue;
    EXPECT_GE(bitmap_color_depth(b), 24) << picture_names[i];
    EXPECT_EQ(b->w, sizes[i][0]) << picture_names[i];
    EXPECT_EQ(b->h, sizes[i][1]) << picture_names[i];
    destroy_bitmap(b);
  }
}

TEST_F(AllegroFiles, SamplesAreShortCleanMatchedPcmAndMusicLoads)
{
  double loudest = -1e9, quietest = 1e9;
  for (const char *name : sample_names) {
    std::string path = data_file(std::string("sound/") + name);
    SAMPLE *s = load_sample(path.c_str());
    ASSERT_NE(s, nullptr) << path;
    EXPECT_TRUE(s->bits == 16 && !s->stereo) << name;
    EXPECT_TRUE(s->len > 0.05 * s->freq && s->len < 2.0 * s->freq) << name << " is not short";
    // Allegro keeps 16-bit samples unsigned; far from 0x8000 at an end is a click.
    const unsigned short *data = static_cast<const unsigned short *>(s->data);
    EXPECT_LT(std::abs(int(data[0]) - 0x8000), 300) << name << " starts with a click";
    EXPECT_LT(std::abs(int(data[s->len - 1]) - 0x8000), 300) << name << " ends with a click";
    EXPECT_EQ(command_output("soxi -r '" + path + "' 2>/dev/null"), std::to_string(s->freq) + "\n");
    EXPECT_EQ(command_output("soxi -s '" + path + "' 2>/dev/null"), std::to_string(s->len) + "\n");
    destroy_sample(s);
    std::string stat = command_output("sox '" + path + "' -n stat 2>&1");
    size_t at = stat.find("RMS     amplitude:");
    ASSERT_NE(at, std::string::npos) << path << ": " << stat;
    double db = 20 * std::log10(std::atof(stat.c_str() + at + 18));
    loudest = std::max(loudest, db);
    quietest = std::min(quietest, db);
  }
  EXPECT_LT(loudest - quietest, 3.0) << "effect levels differ by more than 3 dB";
  MIDI *m = load_midi(data_file("music/kez.mid").c_str());
  ASSERT_NE(m, nullptr);
  destroy_midi(m);
}
