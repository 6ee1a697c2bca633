// ImageMagick as a peer for SGI pictures: what it writes, we decode to the
// pixels it reads back itself; and what we write, it reads as we do.
#include "font_files.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <string>

namespace {

void run(const std::string &command)
{
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// Our decoding against ImageMagick's own reading of the file (which lists
// the top row first); alpha is compared only when the peer keeps it.
void expect_same_as_peer(const std::string &path, const std::string &what, bool alpha = true)
{
  decoded_picture ours = decode_sgi(read_file(path));
  ASSERT_TRUE(ours.ok) << what;
  run("convert '" + path + "' -depth 8 rgba:'" + path + ".rgba'");
  bytes theirs = read_file(path + ".rgba");
  size_t row = (size_t)ours.width * 4;
  ASSERT_EQ(theirs.size(), row * ours.height) << what;
  for (size_t i = 0; i < theirs.size(); i++) {
    size_t x_byte = i % row, y = ours.height - 1 - i / row;
    if (alpha || i % 4 != 3) {
      ASSERT_EQ(ours.rgba[y * row + x_byte], theirs[i])
          << what << ": byte " << x_byte << " of row " << y;
    }
  }
}

}  // namespace

TEST(SgiPeer, DecodesImageMagickPicturesAsImageMagickReadsThem)
{
  // Noise (copies), flat areas and long rows (repeats), odd sizes, and an
  // alpha ramp where the type keeps alpha; with the channels each type gives.
  const struct {
    const char *source, *type;
    int channels;
  } cases[] = {
      {"-size 13x7 plasma:", "Grayscale", 1},
      {"-size 150x9 pattern:checkerboard", "Grayscale", 1},
      {"-size 1x1 xc:navy", "TrueColor", 3},
      {"-size 13x7 plasma:", "TrueColor", 3},
      {"-size 131x3 gradient:red-blue", "TrueColor", 3},
      {"-size 13x7 plasma: -alpha set -channel A -fx i/w +channel", "TrueColorAlpha", 4},
      {"-size 150x9 pattern:checkerboard -alpha set -channel A -fx j/h +channel",
       "TrueColorAlpha", 4},
  };
  temp_dir dir;
  int number = 0;
  for (const auto &c : cases)
    for (const char *compress : {"RLE", "None"}) {
      std::string path = dir.path + "/peer" + std::to_string(number++) + ".sgi";
      std::string what = std::string(c.source) + " " + c.type + " " + compress;
      run(std::string("convert -seed 5 ") + c.source + " -type " + c.type +
          " -depth 8 -compress " + compress + " sgi:'" + path + "'");
      bytes file = read_file(path);
      ASSERT_GT(file.size(), 12u) << what;
      EXPECT_EQ(file[2], compress[0] == 'R' ? 1 : 0) << what;  // really stored that way
      EXPECT_EQ(file[10] << 8 | file[11], c.channels) << what;
      expect_same_as_peer(path, what);
    }
}

TEST(SgiPeer, ImageMagickReadsOurPicturesAsWeDo)
{
  // ImageMagick reads a two-channel file as opaque grey, where we take the
  // second channel as alpha: compare only the grey there.
  temp_dir dir;
  for (int channels = 1; channels <= 4; channels++)
    for (bool run_length : {true, false}) {
      std::string what = std::to_string(channels) + (run_length ? " run-length" : " plain");
      std::string path = dir.path + "/ours" + std::to_string(channels + 4 * run_length) + ".sgi";
      auto value = [](int x, int y, int c) { return (x * 29 + y * 53 + c * 97) % 251; };
      write_file(path, sgi_encode(make_picture(17, 5, channels, run_length, value)));
      expect_same_as_peer(path, what, channels != 2);
    }
}
