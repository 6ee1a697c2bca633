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

#include <allegro.h>
#include <alleggl.h>
#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int FRAME_MILLISECONDS = 40;  // 25 frames a second, as the game runs

struct options {
  const char *shot_path = nullptr;
  int frames = 1;
};

bool parse_options(int argc, char **argv, options &out)
{
  for (int i = 1; i < argc; i++) {
    if (!std::strcmp(argv[i], "--shot") && i + 1 < argc)
      out.shot_path = argv[++i];
    else if (!std::strcmp(argv[i], "--frames") && i + 1 < argc)
      out.frames = std::atoi(argv[++i]);
    else
      return false;
  }
  return out.frames >= 1;
}

bool open_window()
{
  if (allegro_init() != 0 || install_allegro_gl() != 0)
    return false;
  allegro_gl_clear_settings();
  allegro_gl_set(AGL_COLOR_DEPTH, 24);
  allegro_gl_set(AGL_Z_DEPTH, 16);
  allegro_gl_set(AGL_DOUBLEBUFFER, 1);
  allegro_gl_set(AGL_RENDERMETHOD, 1);
  allegro_gl_set(AGL_SUGGEST, AGL_COLOR_DEPTH | AGL_Z_DEPTH | AGL_DOUBLEBUFFER | AGL_RENDERMETHOD);
  set_color_depth(24);
  set_window_title("pilko font showcase");
  return set_gfx_mode(GFX_OPENGL_WINDOWED, SHOWCASE_WIDTH, SHOWCASE_HEIGHT, 0, 0) == 0;
}

// The back buffer as a binary PPM picture, top row first.
bool write_shot(const char *path)
{
  std::vector<unsigned char> rgb((size_t)SHOWCASE_WIDTH * SHOWCASE_HEIGHT * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, SHOWCASE_WIDTH, SHOWCASE_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
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
  options opt;
  if (!parse_options(argc, argv, opt)) {
    std::fprintf(stderr, "usage: font-showcase [--shot FILE [--frames N]]\n");
    return 2;
  }
  if (!open_window()) {
    std::fprintf(stderr, "font-showcase: cannot open an OpenGL window: %s\n", allegro_error);
    return 1;
  }
  install_keyboard();
  font_init();
  std::string error;
  int status = 0;
  if (!showcase_load(error)) {
    std::fprintf(stderr, "font-showcase: %s\n", error.c_str());
    status = 1;
  } else if (opt.shot_path) {
    for (int i = 0; i < opt.frames; i++)
      showcase_draw_frame();
    if (!write_shot(opt.shot_path)) {
      std::fprintf(stderr, "%s: cannot write the picture\n", opt.shot_path);
      status = 1;
    }
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
