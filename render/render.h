// The renderer: the one-time OpenGL scene set-up, textures and display lists,
// frustum culling, the frame of the level being played and its status line,
// and the OpenGL resources it owns. It draws the world's state (world/).
#pragma once

#include "world/map_format.h"

#include <GL/gl.h>
#include <cstdint>
#include <vector>

struct GLUquadric;
struct camera_preset;  // world/world.h

// ---- Resources, created once at start-up and kept for the whole run ---------

constexpr int TEXTURE_COUNT = BLOCK_KIND_COUNT;  // one texture per block kind
constexpr int FRUSTUM_PLANE_COUNT = 6;
constexpr int HUD_TEXT_SIZE = 256;               // buffer for one status-line text

extern GLuint textures[TEXTURE_COUNT];  // by block kind (load_texture_set)
extern GLuint tile_lists;               // the flat floor tile (build_display_lists)
extern GLuint hero_list;
extern GLuint enemy_list;
extern GLuint drop_list;
extern GLUquadric *hero_quadric;
extern GLUquadric *enemy_quadric;
// The view volume's planes in world coordinates, recomputed every frame.
extern float frustum_planes[FRUSTUM_PLANE_COUNT][4];
extern char hud_text[HUD_TEXT_SIZE];    // the status line's text buffer

// ---- Where the picture goes ------------------------------------------------

// A rectangle of the window, in pixels from its bottom left corner (as
// OpenGL counts them).
struct screen_area {
  int x, y, width, height;
};
// Where the 4:3 picture is drawn in the window: the whole 640 x 480 screen in
// the game's designed mode. The game sets it when it opens its screen and
// whenever the window changes size; frames, pictures, the pause and
// screenshots all follow it.
extern screen_area picture_area;
// The largest rectangle of the picture's shape (screen_width by
// screen_height) that fits a window of this size, centred in it: black bars
// beside it or above and below it.
screen_area fit_picture_area(int window_width, int window_height);
// How many times the picture's size fits both ways into width x height, at
// least 1.
int largest_picture_multiple(int width, int height);
// Makes picture_area the viewport.
void use_picture_area();
// Reads picture_area of the back buffer into pixels, bottom row first, rows
// back to back, as GL_RGB or GL_RGBA bytes (format). The back buffer holds
// the picture drawn for the next flip, or, until the next frame is drawn,
// the one on screen: the flip copies it and leaves it as it was, and the
// front buffer reads black on Mesa's software rasteriser. The read buffer
// and pack alignment are put back afterwards.
void read_drawn_picture(GLenum format, std::vector<unsigned char> &pixels);
// Draws a 24-bit memory bitmap as a filtered texture, at (x, y) from the top
// left of the screen_width by screen_height picture, scaled with the picture
// into picture_area.
void draw_picture_scaled(struct BITMAP *picture, int x, int y);

// ---- Scene and frame --------------------------------------------------------

// Puts OpenGL into the state the game draws in; once, after the mode is set.
void setup_scene();
// Draws one frame of the world state into the back buffer (never flips).
void render_frame();
// Turns the view by the camera preset and draws the hero (with the light it
// carries) as the camera sees it, leaving the matrix of a world seen so.
void view_from_hero(const camera_preset &camera);
// Draws the level's cells, drops and enemies, culled to the view of the
// current matrix (a camera's, in world coordinates).
void draw_level();
// The z of the top of a cell of this height as a frame draws it: a cell
// lower than the flat tile's limit is drawn as the tile, at 0.
float drawn_top(float height);
// Puts the light the hero carries above world point (x, y, z), as if the
// hero stood there: a view without the hero is lit as the game lights it.
void light_from_above(float x, float y, float z);
// Draws the hero's sphere standing at world point (x, y, z).
void draw_hero_at(float x, float y, float z);
// Draws one of each thing a frame draws (the hero, an enemy, a lava tile, a
// block with a drop, the status line) into the back buffer, waits for it and
// clears it away. OpenGL drivers, the software one above all, prepare their
// code for each new drawing state when it is first used; done while a picture
// is on screen, it keeps that work out of the first frame of a game.
void prepare_frame_drawing();
// Cells and enemies the last frame drew, after culling (for measurements).
extern int frame_cells_drawn;
extern int frame_enemies_drawn;
// Raises and spins the hero during the level-complete sequence, and takes
// the sequence's step for this frame (which ends it after its last phase).
void level_end_transform();
// Degrees an enemy is turned about z for its direction: -90, 0, 90, 180 for
// directions 0 to 3; any other value gives an angle within one turn.
float enemy_facing(int32_t direction);

// ---- Frustum culling --------------------------------------------------------

// Recomputes frustum_planes from the current projection and modelview.
void extract_frustum();
// Recomputes frustum_planes from two column-major 4 x 4 matrices.
void frustum_from_matrices(const float projection[16], const float modelview[16]);
// 0 when the sphere lies wholly outside a plane, else the distance of its
// centre from the near plane plus its radius.
float sphere_in_frustum(float x, float y, float z, float radius);
// 1 (the default): the frame skips cells and enemies outside the view. Exists
// so that tests and measurements can draw every object and compare.
extern int frustum_culling_enabled;

// ---- Textures and display lists --------------------------------------------

// The working bitmaps that textures (and scaled pictures) are uploaded from
// always have this depth, whatever depth the OpenGL mode search ended on:
// three bytes a pixel, in the order that texture_pixel_format reports.
// Allegro's own create_bitmap would follow the screen, which is 24 or 32 bits
// depending on the visual AllegroGL found, and 15 or 16 on a display of that
// depth.
constexpr int WORKING_DEPTH = 24;

// The GL pixel format (GL_RGB or GL_BGR) of the 24-bit working bitmaps that
// load_texture uploads from, as Allegro lays their bytes out.
GLenum texture_pixel_format();
// Loads a picture file at WORKING_DEPTH, whatever the screen's depth; null
// (with one warning line) when it does not load.
struct BITMAP *load_working_image(const char *path);
// Loads an image file into a new texture (upside down, bright pink black);
// 0, with one warning line, when the image does not load.
GLuint load_texture(const char *path, GLenum format);
// Creates a texture from an Allegro memory bitmap; 0 on failure.
GLuint upload_texture(struct BITMAP *bitmap, GLenum format);
// Loads the six block textures into textures[0..5].
void load_texture_set();
// Compiles the tile, hero, enemy and drop display lists (after the textures).
void build_display_lists();
// Emits a textured box of the given height over a 2 x 2 footprint.
void draw_block_box(float height);

// ---- Status line -------------------------------------------------------------

// Writes the lives and drops left over the picture, bottom left.
void draw_status_line();
