// The game's OpenGL mode: the settings and the colour depths tried in turn.
#include "game/graphics_mode.h"
#include "world/world.h"

#include <alleggl.h>
#include <initializer_list>

void request_first_mode()
{
  allegro_gl_clear_settings();
  allegro_gl_set(AGL_COLOR_DEPTH, 16);
  allegro_gl_set(AGL_Z_DEPTH, 16);
  allegro_gl_set(AGL_DOUBLEBUFFER, 1);
  allegro_gl_set(AGL_RENDERMETHOD, 1);
  allegro_gl_set(AGL_SUGGEST, AGL_Z_DEPTH | AGL_DOUBLEBUFFER | AGL_RENDERMETHOD);
  set_color_depth(16);
}

void request_mode_depth(int depth)
{
  set_color_depth(depth);
  allegro_gl_set(AGL_COLOR_DEPTH, depth);
  allegro_gl_set(AGL_SUGGEST, AGL_Z_DEPTH | AGL_DOUBLEBUFFER);
}

bool enter_graphics_mode(int driver)
{
  request_first_mode();
  if (set_gfx_mode(driver, screen_width, screen_height, 0, 0) >= 0)
    return true;
  for (int depth : {24, 32, 15}) {
    request_mode_depth(depth);
    if (set_gfx_mode(driver, screen_width, screen_height, 0, 0) >= 0)
      return true;
  }
  return false;
}
