// Frames of the real renderer in the game's full screen (the designed mode,
// or the desktop's size where the display has no 640 x 480 mode), each
// against the floor: what filling the picture once costs on this machine.
#include "bench/frames.h"
#include "assets/asset_files.h"
#include "font/font.h"
#include "game/flow.h"
#include "game/graphics_mode.h"
#include "world/map_load.h"
#include "world/update.h"
#include "render/render.h"

#include <alleggl.h>
#include <cstdio>
#include <sys/resource.h>

namespace {

// Times of one frame, ms from its start.
struct frame_times {
  double render, finish, swap;
};

void flip()
{
  allegro_gl_begin();
  allegro_gl_flip();
  allegro_gl_end();
}

// Times a drawing, then glFinish, then the swap, as the game's loop shows a frame.
frame_times timed(void (*draw)())
{
  long long start = now_ns();
  draw();
  long long drawn = now_ns();
  glFinish();
  long long finished = now_ns();
  flip();
  long long swapped = now_ns();
  return {elapsed_ms(start, drawn), elapsed_ms(start, finished), elapsed_ms(start, swapped)};
}

// The least a frame can cost: the frame's clears and one textured, lit,
// depth-tested quad over the whole screen in the game's GL state.
void draw_floor()
{
  allegro_gl_begin();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glColor4f(1, 1, 1, 1);
  glBindTexture(GL_TEXTURE_2D, textures[KIND_STONE_FLOOR]);
  glBegin(GL_QUADS);
  glNormal3f(0, 0, 1);
  glTexCoord2f(0, 0), glVertex3f(-1, -1, 0);
  glTexCoord2f(1, 0), glVertex3f(1, -1, 0);
  glTexCoord2f(1, 1), glVertex3f(1, 1, 0);
  glTexCoord2f(0, 1), glVertex3f(-1, 1, 0);
  glEnd();
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  allegro_gl_end();
}

// Samples of frames and floors measured side by side.
struct frame_samples {
  std::vector<double> render, finish, swap, floor;
  long cells = 0, enemies = 0;
  long page_faults = 0;
};

long minor_page_faults()
{
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

// Draws frames frames at the level's places, cycling, from the current
// camera; the floor goes first in every other pair so that neither is
// always the one drawn right after the other.
void sample_frames(const campaign_level &level, int frames, frame_samples &out)
{
  long faults_before = minor_page_faults();
  for (int i = 0; i < frames; i++) {
    restore_snapshot(level.places[(size_t)i % level.places.size()]);
    if (i % 2 == 0)
      out.floor.push_back(timed(draw_floor).swap);
    frame_times game = timed(render_frame);
    out.render.push_back(game.render);
    out.finish.push_back(game.finish);
    out.swap.push_back(game.swap);
    out.cells += frame_cells_drawn;
    out.enemies += frame_enemies_drawn;
    if (i % 2 == 1)
      out.floor.push_back(timed(draw_floor).swap);
  }
  out.page_faults += minor_page_faults() - faults_before;
}

using gen_queries_function = void (*)(GLsizei, GLuint *);
using delete_queries_function = void (*)(GLsizei, const GLuint *);
using query_function = void (*)(GLenum, GLuint);
using end_query_function = void (*)(GLenum);
using query_result_function = void (*)(GLuint, GLenum, GLuint *);

// Fragments a frame rasterises, in whole screens, over the level's places:
// every fragment of every triangle, hidden ones too, counted by an occlusion
// query while the depth test lets all of them through. The floor fills one
// screen; a frame cannot cost less than filling this many. 0 where the
// driver has no occlusion queries.
double fill_in_screens(const campaign_level &level)
{
  auto gen_queries = (gen_queries_function)allegro_gl_get_proc_address("glGenQueries");
  auto delete_queries = (delete_queries_function)allegro_gl_get_proc_address("glDeleteQueries");
  auto begin_query = (query_function)allegro_gl_get_proc_address("glBeginQuery");
  auto end_query = (end_query_function)allegro_gl_get_proc_address("glEndQuery");
  auto query_result = (query_result_function)allegro_gl_get_proc_address("glGetQueryObjectuiv");
  if (!gen_queries || !delete_queries || !begin_query || !end_query || !query_result)
    return 0;
  GLuint query = 0;
  gen_queries(1, &query);
  GLint depth_function = GL_LESS;
  glGetIntegerv(GL_DEPTH_FUNC, &depth_function);
  glDepthFunc(GL_ALWAYS);
  double fragments = 0;
  for (const world_snapshot &place : level.places) {
    restore_snapshot(place);
    begin_query(GL_SAMPLES_PASSED, query);
    render_frame();
    end_query(GL_SAMPLES_PASSED);
    GLuint count = 0;
    query_result(query, GL_QUERY_RESULT, &count);
    fragments += count;
  }
  glDepthFunc((GLenum)depth_function);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  delete_queries(1, &query);
  return fragments / (double)level.places.size() / ((double)picture_area.width * picture_area.height);
}

}  // namespace

bool open_game_display(bench_figures &figures)
{
  if (allegro_init() != 0) {
    std::fprintf(stderr, "pilko-bench: cannot open a display (is DISPLAY set?)\n");
    return false;
  }
  install_allegro_gl();
  font_init();
  if (!open_screen(screen_request{})) {
    std::fprintf(stderr, "pilko-bench: no full-screen OpenGL mode: %s\n", allegro_error);
    return false;
  }
  hud_font = bitmap_font_load(HUD_FONT_FILE);
  if (hud_font < 0) {
    std::fprintf(stderr, "pilko-bench: cannot load %s (run in the data folder)\n", HUD_FONT_FILE);
    return false;
  }
  bitmap_font_set_current(hud_font);
  setup_scene();
  load_texture_set();
  build_display_lists();
  figures.display_width = SCREEN_W, figures.display_height = SCREEN_H;
  figures.picture_width = picture_area.width, figures.picture_height = picture_area.height;
  figures.designed_mode = screen_route_taken() == ROUTE_DESIGNED;
  figures.gl_renderer = (const char *)glGetString(GL_RENDERER);
  figures.mesa_version = (const char *)glGetString(GL_VERSION);
  return true;
}

void measure_warmup(const campaign_level &level, int frames_per_half, warmup_figures &warmup)
{
  start_level(level);
  frame_samples first, rest;
  sample_frames(level, frames_per_half, first);
  sample_frames(level, frames_per_half, rest);
  warmup.frames = frames_per_half;
  warmup.first = summarize(first.swap), warmup.first_floor = summarize(first.floor);
  warmup.rest = summarize(rest.swap), warmup.rest_floor = summarize(rest.floor);
  warmup.first_page_faults = (double)first.page_faults / frames_per_half;
  warmup.rest_page_faults = (double)rest.page_faults / frames_per_half;
}

void measure_frames(const std::vector<campaign_level> &levels, int frames_per_group,
                    std::vector<frame_group> &groups)
{
  for (const campaign_level &level : levels)
    for (int preset = 0; preset < CAMERA_PRESET_COUNT; preset++) {
      start_level(level);
      current_camera = &camera_presets[preset];
      frame_samples s;
      sample_frames(level, frames_per_group, s);
      frame_group g;
      g.level = level.number, g.camera = preset + 1, g.frames = frames_per_group;
      g.render = summarize(s.render), g.finish = summarize(s.finish), g.swap = summarize(s.swap);
      g.floor = summarize(s.floor);
      g.cells_drawn = (double)s.cells / frames_per_group;
      g.enemies_drawn = (double)s.enemies / frames_per_group;
      g.page_faults = (double)s.page_faults / frames_per_group;
      g.fill_screens = fill_in_screens(level);
      groups.push_back(g);
      std::fprintf(stderr, "\rframes: level %d camera %d ", level.number, preset + 1);
    }
  std::fprintf(stderr, "\n");
}

double measure_game_start(const campaign_level &level, int repeats)
{
  std::vector<double> times;
  for (int i = 0; i < repeats; i++) {
    long long start = now_ns();
    blank_screen();
    start_level(level);
    world_update();
    render_frame();
    flip();
    times.push_back(elapsed_ms(start, now_ns()));
  }
  return summarize(times).median;
}

std::vector<double> measure_load_map(const std::vector<campaign_level> &levels, int repeats)
{
  std::vector<double> medians;
  for (const campaign_level &level : levels) {
    std::vector<double> times;
    for (int i = 0; i < repeats; i++) {
      reset_world();
      long long start = now_ns();
      load_map(level.map_path.c_str());
      times.push_back(elapsed_ms(start, now_ns()) * 1000.0);
    }
    medians.push_back(summarize(times).median);
  }
  return medians;
}
