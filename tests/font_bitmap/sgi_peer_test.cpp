// ImageMagick as a peer for SGI pictures: what it writes, we decode to the
// pixels it reads back itself; and what we write, it reads as we do.
#include "font_files.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <string>

namespace {

using bytes = std::vector<uint8_t>;

struct peer_case {
  const char *source;  // ImageMagick source picture, with its size
  const char *type;    // -type: decides how many channels it writes
  int channels;        // what that type gives in an SGI file
};

// Pictures with noise (copies), flat areas and long rows (repeats), odd
// sizes, and an alpha ramp for the types that keep alpha.
const peer_case peer_cases[] = {
    {"-size 13x7 plasma:", "Grayscale", 1},
    {"-size 150x9 pattern:checkerboard", "Grayscale", 1},
    {"-size 1x1 xc:navy", "TrueColor", 3},
    {"-size 13x7 plasma:", "TrueColor", 3},
    {"-size 131x3 gradient:red-blue", "TrueColor", 3},
    {"-size 13x7 plasma: -alpha set -channel A -fx i/w +channel", "TrueColorAlpha", 4},
    {"-size 150x9 pattern:checkerboard -alpha set -channel A -fx j/h +channel",
     "TrueColorAlpha", 4},
};

void run(const std::string &command)
{
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// ImageMagick's own reading of an SGI file as RGBA, turned bottom row first
// like ours (it lists the top row first).
bytes peer_rgba(const std::string &sgi_path, int width, int height)
{
  std::string raw = sgi_path + ".rgba";
  run("convert '" + sgi_path + "' -depth 8 rgba:'" + raw + "'");
  bytes top_first = read_file(raw);
  EXPECT_EQ(top_first.size(), (size_t)width * height * 4);
  bytes bottom_first;
  size_t row = (size_t)width * 4;
  for (int y = height - 1; y >= 0 && top_first.size() >= row * height; y--)
    bottom_first.insert(bottom_first.end(), top_first.begin() + y * row,
                        top_first.begin() + (y + 1) * row);
  return bottom_first;
}

// Compares every byte, or only red, green and blue when the peer's alpha
// is not to be trusted.
void expect_same_as_peer(const std::string &sgi_path, const std::string &what,
                         bool compare_alpha = true)
{
  decoded_picture ours = decode_sgi(read_file(sgi_path));
  ASSERT_TRUE(ours.ok) << what;
  bytes theirs = peer_rgba(sgi_path, ours.width, ours.height);
  ASSERT_EQ(ours.rgba.size(), theirs.size()) << what;
  for (size_t i = 0; i < theirs.size(); i++)
    if (compare_alpha || i % 4 != 3) {
      ASSERT_EQ(ours.rgba[i], theirs[i]) << what << ": byte " << i << " (pixel " << i / 4
                                         << ", channel " << i % 4 << ")";
    }
}

int peer_value(int x, int y, int c) { return (x * 29 + y * 53 + c * 97) % 251; }

}  // namespace

TEST(SgiPeer, DecodesImageMagickPicturesAsImageMagickReadsThem)
{
  temp_dir dir;
  int number = 0;
  for (const peer_case &picture : peer_cases) {
    for (const char *compress : {"RLE", "None"}) {
      std::string path = dir.path + "/peer" + std::to_string(number++) + ".sgi";
      run(std::string("convert -seed 5 ") + picture.source + " -type " + picture.type +
          " -depth 8 -compress " + compress + " sgi:'" + path + "'");
      std::string what = std::string(picture.source) + " " + picture.type + " " + compress;
      bytes file = read_file(path);
      ASSERT_GT(file.size(), 12u) << what;
      EXPECT_EQ(file[2], compress[0] == 'R' ? 1 : 0) << what;  // really stored that way
      EXPECT_EQ(file[10] << 8 | file[11], picture.channels) << what;
      expect_same_as_peer(path, what);
    }
  }
}

TEST(SgiPeer, ImageMagickReadsOurPicturesAsWeDo)
{
  // ImageMagick writes no two-channel SGI files, and when it reads one it
  // takes the grey and leaves the picture opaque, where we take the second
  // channel as alpha (checked in SgiDecode): compare only the grey there.
  temp_dir dir;
  for (int channels = 1; channels <= 4; channels++) {
    for (bool run_length : {true, false}) {
      std::string path = dir.path + "/ours" + std::to_string(channels) +
                         (run_length ? "rle" : "plain") + ".sgi";
      write_file(path, sgi_encode(make_picture(17, 5, channels, run_length, peer_value)));
      expect_same_as_peer(path,
                          std::to_string(channels) + " channels" +
                              (run_length ? " run-length" : " plain"),
                          channels != 2);
    }
  }
}
