// The renderer: the one-time OpenGL scene set-up, textures and display lists,
// frustum culling, the frame of the level being played and its status line.
#pragma once

#include <GL/gl.h>

// ---- Scene and frame --------------------------------------------------------

// Puts OpenGL into the state the game draws in; once, after the mode is set.
void setup_scene();
// Draws one frame of the world state into the back buffer (never flips).
void render_frame();
// Raises and spins the hero during the level-complete sequence and ends it.
void level_end_transform();

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

// The GL pixel format (GL_RGB or GL_BGR) of the 24-bit working bitmaps that
// load_texture uploads from, as Allegro lays their bytes out.
GLenum texture_pixel_format();
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
