// icon-maker: the desktop icon, the hero's ball and a drop in a golden ring,
// drawn afresh at each size the icon theme asks for (so small sizes stay
// sharp) as RGBA PNG files in a hicolor tree: OUTPUT/NxN/apps/pilko.png,
// and the game window's icon as XPM, which the game compiles in.
// (usage: icon-maker --help).
#include "tools/asset-kit/command_line.h"
#include "tools/asset-kit/files.h"
#include "tools/asset-kit/picture.h"
#include "tools/asset-kit/png.h"

#include <cerrno>
#include <cstdio>
#include <map>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

const int icon_sizes[] = {16, 24, 32, 48, 64, 128, 256};

// The window icon's size: what window managers show in task bars and switchers.
constexpr int WINDOW_ICON_SIZE = 48;
// XPM names each colour with this many characters of XPM_CODES; a pair
// names up to 64 x 64 colours, more than a 48 x 48 icon can hold.
constexpr int XPM_CODE_LENGTH = 2;
const char XPM_CODES[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-";
constexpr int XPM_CODE_COUNT = sizeof XPM_CODES - 1;
static_assert(WINDOW_ICON_SIZE * WINDOW_ICON_SIZE < XPM_CODE_COUNT * XPM_CODE_COUNT,
              "every colour of the window icon has a name of two characters");

const char *output_folder = nullptr;
const char *window_icon_file = nullptr;
const tool_usage usage = {
  "icon-maker",
  "Draws the desktop icon at every size into OUTPUT_FOLDER/NxN/apps/pilko.png.",
  {{nullptr, nullptr, {
    value_option("--window-icon", "FILE", "also write the 48 x 48 window icon to FILE as XPM",
                 &window_icon_file),
    operand("OUTPUT_FOLDER", "the hicolor icon folder to fill", &output_folder),
  }}},
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

// The XPM name of palette entry n; entry 0 is the see-through one.
std::string xpm_code(int n)
{
  return std::string(1, XPM_CODES[n / XPM_CODE_COUNT]) + XPM_CODES[n % XPM_CODE_COUNT];
}

// The window icon as an XPM image, which is also a C array, pilko_icon_xpm.
// XPM has no partial cover: a pixel less than half covered is left out.
std::string window_icon_xpm()
{
  picture colour, alpha;
  draw_icon(WINDOW_ICON_SIZE, colour, alpha);
  std::map<std::string, int> palette = {{"None", 0}};
  std::string rows;
  for (int y = 0; y < WINDOW_ICON_SIZE; ++y) {
    rows += "\"";
    for (int x = 0; x < WINDOW_ICON_SIZE; ++x) {
      std::string name = "None";
      if (pixel_at(alpha, x, y).r >= 0.5f) {
        unsigned char bytes[3];
        quantize(pixel_at(colour, x, y), bytes);
        char hex[8];
        std::snprintf(hex, sizeof hex, "#%02x%02x%02x", bytes[0], bytes[1], bytes[2]);
        name = hex;
      }
      int n = palette.emplace(name, (int)palette.size()).first->second;
      rows += xpm_code(n);
    }
    rows += "\",\n";
  }
  std::string text = "/* XPM */\nstatic const char *pilko_icon_xpm[] = {\n";
  text += "\"" + std::to_string(WINDOW_ICON_SIZE) + " " + std::to_string(WINDOW_ICON_SIZE) + " " +
          std::to_string(palette.size()) + " " + std::to_string(XPM_CODE_LENGTH) + "\",\n";
  std::vector<std::string> lines(palette.size());
  for (const auto &entry : palette)
    lines[entry.second] = "\"" + xpm_code(entry.second) + " c " + entry.first + "\",\n";
  for (const std::string &line : lines)
    text += line;
  return text + rows + "};\n";
}

// Writes every size of the icon, and the window icon when asked; the exit status.
int make_icons()
{
  if (window_icon_file && !write_file(window_icon_file, window_icon_xpm()))
    return file_error(window_icon_file, "cannot write");
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
