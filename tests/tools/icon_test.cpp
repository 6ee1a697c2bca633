// The desktop icon as another program reads it: ImageMagick opens every size as an RGBA PNG of
// that size, see-through in the corners and solid in the middle.
#include <gtest/gtest.h>
#include "tests/support/run_command.h"
#include "tests/support/scratch_folder.h"

#include <cstdlib>
#include <string>

TEST(Icon, EverySizeHasClearCornersAndSolidMiddle)
{
  scratch_folder folder;
  ASSERT_EQ(std::system((std::string(ICON_MAKER) + " " + folder.path).c_str()), 0);
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    std::string side = std::to_string(size), file = folder.file(side + "x" + side + "/apps/pilko.png");
    std::string centre = std::to_string(size / 2);
    // width, height, channels, corner alpha, centre alpha
    std::string seen = run_command("convert '" + file + "' -format '%w %h %[channels] " +
                                 "%[fx:p{0,0}.a] %[fx:p{" + centre + "," + centre + "}.a]' info:").output;
    EXPECT_EQ(seen, side + " " + side + " srgba 0 1") << file;
  }
}
