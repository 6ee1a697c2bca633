// ImageMagick as a peer for SGI files: we decode its pictures as it does, and it reads ours as we do.
#include "tests/font/font_files.h"

#include <cstdlib>

namespace {

constexpr size_t SGI_WIDTH = 6;  // the header's big-endian width

// Our decoding of an SGI file against ImageMagick's, which lists the top row
// first; alpha is compared only where the peer keeps it.
void expect_same_as_peer(const std::string &path, bool alpha = true)
{
  std::string command = "convert '" + path + "' -depth 8 rgba:'" + path + ".rgba'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  bytes file = file_bytes(path), ours = decode_sgi(file), top_first;
  size_t row = (file.at(SGI_WIDTH) << 8 | file.at(SGI_WIDTH + 1)) * 4;
  for (size_t y = ours.size() / row; y-- > 0;)
    top_first.insert(top_first.end(), ours.begin() + y * row, ours.begin() + (y + 1) * row);
  for (size_t i = 3; i < top_first.size() && !alpha; i += 4)
    top_first[i] = 255;
  EXPECT_EQ(top_first, file_bytes(path + ".rgba"));
}

}  // namespace

// Both ways: pictures ImageMagick writes, and pictures our writer makes.
TEST(SgiPeer, ImageMagickAndWeReadEachOthersPicturesAlike)
{
  // Noise (copies), long rows (repeats), odd sizes, and an alpha ramp.
  const struct { const char *source, *type; int channels; } cases[] = {
      {"-size 13x7 plasma:", "Grayscale", 1},
      {"-size 1x1 xc:navy", "TrueColor", 3},
      {"-size 131x3 gradient:red-blue", "TrueColor", 3},
      {"-size 150x9 pattern:checkerboard -alpha set -channel A -fx j/h +channel",
       "TrueColorAlpha", 4},
  };
  scratch_folder dir;
  std::string path = dir.path + "/peer.sgi";
  for (const auto &c : cases)
    for (std::string compress : {"RLE", "None"}) {
      std::string command = std::string("convert -seed 5 ") + c.source + " -type " + c.type +
                            " -depth 8 -compress " + compress + " sgi:'" + path + "'";
      ASSERT_EQ(std::system(command.c_str()), 0) << command;
      bytes file = file_bytes(path);
      EXPECT_EQ(file.at(2), compress == "RLE" ? 1 : 0) << "stored compressed? " << command;
      EXPECT_EQ(file.at(11), c.channels) << "channels stored: " << command;
      expect_same_as_peer(path);
    }
  // Ours: runs and stretches without repeats longer than one control byte holds.
  // ImageMagick reads two channels as opaque grey, where we take alpha.
  auto runs_then_noise = [](int x, int y, int c) {
    return x < 150 ? x / 140 * 60 + c * 20 : (x * 29 + y * 53 + c * 97) % 251;
  };
  for (int channels = 1; channels <= 4; channels++)
    for (bool run_length : {true, false}) {
      SCOPED_TRACE(std::to_string(channels) + (run_length ? " run-length" : " plain"));
      write_file(path, sgi_encode(make_picture(301, 3, channels, run_length, runs_then_noise)));
      expect_same_as_peer(path, channels != 2);
    }
}
