// The desktop icon as another program reads it: ImageMagick opens every size as an RGBA PNG of
// that size, see-through in the corners and solid in the middle.
#include <gtest/gtest.h>
#include "tests/support/scratch_folder.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string output_of(const std::string &command)
{
  std::string text;
  FILE *pipe = popen(command.c_str(), "r");
  std::array<char, 256> chunk;
  while (pipe && std::fgets(chunk.data(), chunk.size(), pipe))
    text += chunk.data();
  if (pipe)
    pclose(pipe);
  return text;
}

}  // namespace

TEST(Icon, EverySizeHasClearCornersAndSolidMiddle)
{
  scratch_folder scratch;
  const std::string &folder = scratch.path;
  ASSERT_EQ(std::system((std::string(ICON_MAKER) + " " + folder).c_str()), 0);
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    std::string file = std::string(folder) + "/" + std::to_string(size) + "x" +
                       std::to_string(size) + "/apps/pilko.png";
    std::string centre = std::to_string(size / 2);
    // width, height, channels, corner alpha, centre alpha
    std::string seen = output_of("convert '" + file + "' -format '%w %h %[channels] " +
                                 "%[fx:p{0,0}.a] %[fx:p{" + centre + "," + centre + "}.a]' info:");
    std::string side = std::to_string(size);
    EXPECT_EQ(seen, side + " " + side + " srgba 0 1") << file;
  }
}
