// ImageMagick as a peer for SGI files: it reads the pictures our writer makes as our decoder does.
#include "tests/font/font_files.h"

#include <cstdlib>

// Runs and stretches without repeats longer than one control byte holds, in every channel
// count, run-length and plain; ImageMagick lists the top row first and reads two channels as
// opaque grey, where we take alpha.
TEST(SgiPeer, ImageMagickReadsOurPicturesAsWeDo)
{
  constexpr int WIDTH = 301, HEIGHT = 3;
  auto runs_then_noise = [](int x, int y, int c) {
    return x < 150 ? x / 140 * 60 + c * 20 : (x * 29 + y * 53 + c * 97) % 251;
  };
  scratch_folder dir;
  std::string path = dir.file("peer.sgi"), command = "convert '" + path + "' -depth 8 rgba:'" + path + ".rgba'";
  for (int channels = 1; channels <= 4; channels++)
    for (bool run_length : {true, false}) {
      SCOPED_TRACE(std::to_string(channels) + (run_length ? " run-length" : " plain"));
      write_file(path, sgi_encode(make_picture(WIDTH, HEIGHT, channels, run_length, runs_then_noise)));
      ASSERT_EQ(std::system(command.c_str()), 0) << command;
      bytes ours = decode_sgi(file_bytes(path)), top_first;
      for (size_t row = WIDTH * 4, y = HEIGHT; y-- > 0;)
        top_first.insert(top_first.end(), ours.begin() + y * row, ours.begin() + (y + 1) * row);
      for (size_t i = 3; i < top_first.size() && channels == 2; i += 4)
        top_first[i] = 255;
      EXPECT_EQ(top_first, file_bytes(path + ".rgba"));
    }
}
