// font-showcase: a window that shows everything the font library draws.
//
//   font-showcase                      runs until ESC, from the data folder
//   font-showcase --shot FILE [--frames N]
//                                      draws N frames (default 1), writes
//                                      the last one to FILE as a binary PPM
//                                      picture and exits
#include "showcase_layout.h"
#include "showcase_scene.h"

#include "font/font.h"
#include "tools/asset-kit/command_line.h"
#include "tools/asset-kit/gl_window.h"

#include <allegro.h>
#include <alleggl.h>
#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int FRAME_MILLISECONDS = 40;  // 25 frames a second, as the game runs

struct arguments {
  const char *shot_path = nullptr;
  const char *frames = "1";
};
arguments args;

const tool_usage usage = {
  "font-showcase",
  "Opens a window showing every way the font library draws text; run it from the data folder.",
  {{nullptr, nullptr, {
    value_option("--shot", "FILE", "draw the frames, write the last to FILE as a PPM picture, exit",
                 &args.shot_path),
    value_option("--frames", "N", "with --shot: how many frames to draw (1 and up, default 1)",
                 &args.frames),
  }}},
  "Without --shot it runs until ESC.\n",
};

// The back buffer as a binary PPM picture, top row first.
bool write_shot(const char *path)
{
  std::vector<unsigned char> rgb = read_back_buffer(0, 0, SHOWCASE_WIDTH, SHOWCASE_HEIGHT);
  FILE *file = std::fopen(path, "wb");
  if (!file)
    return false;
  std::fprintf(file, "P6\n%d %d\n255\n", SHOWCASE_WIDTH, SHOWCASE_HEIGHT);
  size_t row_bytes = (size_t)SHOWCASE_WIDTH * 3;
  for (int row = SHOWCASE_HEIGHT - 1; row >= 0; row--)
    std::fwrite(&rgb[row * row_bytes], 1, row_bytes, file);
  return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char **argv)
{
  int status = read_command_line(usage, argc, argv);
  if (status != RUN_TOOL)
    return status;
  int frames = std::atoi(args.frames);
  if (frames < 1)
    return usage_error(usage, std::string("--frames wants a count of 1 or more, not ") + args.frames);
  if (!open_gl_window(SHOWCASE_WIDTH, SHOWCASE_HEIGHT, "pilko font showcase"))
    return tool_error(std::string("cannot open an OpenGL window: ") + allegro_error);
  install_keyboard();
  font_init();
  std::string error;
  status = 0;
  if (!showcase_load(error)) {
    status = tool_error(error);
  } else if (args.shot_path) {
    for (int i = 0; i < frames; i++)
      showcase_draw_frame();
    status = write_shot(args.shot_path) ? 0 : file_error(args.shot_path, "cannot write the picture");
  } else {
    while (!key[KEY_ESC]) {
      showcase_draw_frame();
      allegro_gl_flip();
      rest(FRAME_MILLISECONDS);
    }
  }
  showcase_unload();
  font_shutdown();
  // Close the window and stop Allegro's X input thread now, in order: left to
  // the exit handlers, that thread can still be talking to the X server while
  // the GL library unloads, and the two deadlock.
  set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
  allegro_exit();
  return status;
}
END_OF_MAIN()
