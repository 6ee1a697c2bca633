// Stand-in until the renderer lands: the scene set-up and the frame.
#include "render/render.h"
#include "game/world.h"

#include <alleggl.h>

void setup_scene() {}

void render_frame()
{
  allegro_gl_begin();
  glClearColor(0.1f, 0.2f, 0.3f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (level_phase != 0)
    level_end_transform();
  allegro_gl_end();
}

void level_end_transform()
{
  if (level_phase > 90)
    level_phase = -1;
}
