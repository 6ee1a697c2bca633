// icon-maker: the desktop icon, the hero's ball and a drop in a golden ring,
// drawn afresh at each size the icon theme asks for (so small sizes stay
// sharp) as RGBA PNG files in a hicolor tree: OUTPUT/NxN/apps/pilko.png.
// (usage: icon-maker --help).
#include "tools/asset-kit/command_line.h"
#include "tools/asset-kit/picture.h"
#include "tools/asset-kit/png.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <sys/stat.h>

namespace {

const int icon_sizes[] = {16, 24, 32, 48, 64, 128, 256};

const char *output_folder = nullptr;
const tool_usage usage = {
  "icon-maker",
  "Draws the desktop icon at every size into OUTPUT_FOLDER/NxN/apps/pilko.png.",
  {{nullptr, nullptr, {operand("OUTPUT_FOLDER", "the hicolor icon folder to fill", &output_folder)}}},
};

// The icon at size s: everything is measured in fractions of s.
void draw_icon(int s, picture &colour, picture &alpha)
{
  const rgb gold = rgb255(250, 206, 96);
  colour = make_picture(s, s, gold);
  alpha = make_picture(s, s, {0, 0, 0});
  const float c = s / 2.0f;
  fill_disc(alpha, c, c, 0.48f * s, {1, 1, 1});
  fill_disc(colour, c, c, 0.42f * s, rgb255(176, 118, 34));
  // Inside the ring: sky above a meadow.
  const float inner = 0.39f * s;
  picture scene = make_picture(s, s, {0, 0, 0});
  for (int y = 0; y < s; ++y)
    for (int x = 0; x < s; ++x)
      pixel_at(scene, x, y) = y < 0.6f * s ? mix(rgb255(40, 90, 170), rgb255(170, 210, 240),
                                                 (y + 0.5f) / (0.6f * s))
                                           : mix(rgb255(70, 150, 50), rgb255(30, 90, 30),
                                                 (y + 0.5f - 0.6f * s) / (0.4f * s));
  picture mask = make_picture(s, s, {0, 0, 0});
  fill_disc(mask, c, c, inner, {1, 1, 1});
  for (int y = 0; y < s; ++y)
    for (int x = 0; x < s; ++x)
      blend_pixel(colour, x, y, pixel_at(scene, x, y), pixel_at(mask, x, y).r);
  draw_shaded_ball(colour, 0.44f * s, 0.56f * s, 0.22f * s, rgb255(236, 120, 40));
  draw_shaded_ball(colour, 0.70f * s, 0.34f * s, 0.08f * s, rgb255(80, 170, 255));
}

bool make_folder(const std::string &path)
{
  return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

// Writes every size of the icon; the exit status.
int make_icons()
{
  for (int size : icon_sizes) {
    std::string folder = std::string(output_folder) + "/" + std::to_string(size) + "x" +
                         std::to_string(size);
    std::string path = folder + "/apps/pilko.png";
    picture colour, alpha;
    draw_icon(size, colour, alpha);
    if (!make_folder(output_folder) || !make_folder(folder) || !make_folder(folder + "/apps") ||
        write_png(path.c_str(), colour, alpha) != 0)
      return file_error(path, "cannot write");
  }
  return 0;
}

}  // namespace

int main(int argc, char **argv)
{
  return run_tool(usage, argc, argv, make_icons);
}
