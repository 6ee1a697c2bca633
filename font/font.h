// The font library: vector fonts ("GLF" files) drawn as wire, solid or
// extruded outlines, bitmap fonts ("BMF" files) drawn through one display
// list per character, and a scrolling text console. The one header through
// which the game and the tools reach it.
//
// Results: a slot index (0..255) or 0 for success, -1 for failure.
// Every operation that draws needs a current OpenGL context; loading and
// unloading vector fonts and writing to the console do not.
#pragma once

#include <cstdint>
#include <cstdio>

constexpr int FONT_SLOT_COUNT = 256;  // slots per font kind, indexed 0..255

// Option codes for font_option_enable / font_option_disable.
constexpr int FONT_OPTION_MESSAGES = 10;    // the vector font reader prints its errors
constexpr int FONT_OPTION_TEXTURING = 11;   // solid vector text emits texture coordinates
constexpr int FONT_OPTION_CONTOURING = 12;  // solid and 3D-solid text also draw the outline
constexpr int FONT_OPTION_CURSOR = 30;      // the console shows its blinking cursor

// ---- Library state ----------------------------------------------------------

// Empties the font tables, sets every default and creates the 40 x 20 console.
void font_init();
// Releases the console and unloads every font (needs the GL context).
void font_shutdown();
// Switches an option on or off; unknown codes are ignored.
void font_option_enable(int option);
void font_option_disable(int option);

// ---- Vector fonts -----------------------------------------------------------

// One symbol of a vector font: a flat shape in coordinates around -1..1.
struct vector_symbol {
  uint8_t vertex_count;
  uint8_t triangle_count;
  uint8_t contour_count;
  float *vertices;         // vertex_count pairs (x, y)
  uint8_t *triangles;      // triangle_count triples of vertex indices
  uint8_t *contour_ends;   // index of the last vertex of each contour
  float min_x, max_x, min_y, max_y;  // bounding box, computed at load
};

constexpr int VECTOR_FONT_NAME_SIZE = 96;  // bytes of the name in a GLF file
constexpr int VECTOR_SYMBOL_CODES = 256;   // character codes 0..255, one symbol each

// A loaded vector font; owns its symbols.
struct vector_font {
  char name[VECTOR_FONT_NAME_SIZE + 1];
  uint8_t symbol_count;
  vector_symbol *symbols[VECTOR_SYMBOL_CODES];  // by character code; null where undefined
};

// Loads a GLF file into the lowest free slot and makes it current; -1 for a
// null path.
int vector_font_load(const char *path);
// Reads a GLF file into font; 0 on success, -1 with nothing left allocated.
// Every symbol it accepts is well formed: indices within the vertex count,
// contour ends rising to the last vertex.
int vector_font_read_file(const char *path, vector_font *font);
// Releases the symbols of a record filled by vector_font_read_file.
void vector_font_release_symbols(vector_font *font);
// Makes a loaded slot the current vector font; -1 for an empty or invalid slot.
int vector_font_set_current(int slot);
// The current vector font's slot, -1 for none.
int vector_font_get_current();
// Unloads the current vector font, leaving none current.
int vector_font_unload_current();
// Unloads a slot; the current font stays unless it was that slot.
int vector_font_unload(int slot);
// The font in a slot, or null for an empty or invalid slot.
const vector_font *vector_font_get(int slot);

// ---- Vector text drawing ----------------------------------------------------

// Symbols are drawn with their origin at the current position: the flat
// modes in the plane z = 0, the 3D modes between z = 1 and 1 + depth.
//
// The anchor moves every drawn symbol coordinate so that a symbol spanning
// -1..1 has an edge on the origin: TOP_LEFT x + 1, y - 1; LEFT x + 1;
// BOTTOM_LEFT x + 1, y + 1; TOP y - 1; CENTRE (the default) none;
// BOTTOM y + 1; codes 26 to 28 do not move. The shift is the same for every
// symbol of a string, so it moves the whole string, and the bounds query
// reports the box moved the same way. Texture coordinates and the 3D side
// normals come from the unmoved coordinates, so a texture stays on its
// symbol.
constexpr int VECTOR_ANCHOR_TOP_LEFT = 20;
constexpr int VECTOR_ANCHOR_LEFT = 21;
constexpr int VECTOR_ANCHOR_BOTTOM_LEFT = 22;
constexpr int VECTOR_ANCHOR_TOP = 23;
constexpr int VECTOR_ANCHOR_CENTRE = 24;
constexpr int VECTOR_ANCHOR_BOTTOM = 25;
constexpr int VECTOR_ANCHOR_LAST = 28;  // highest code vector_set_anchor stores

// The solid modes draw a font's triangles facing away from +z (clockwise seen
// from +z), as the 3D mode's caps need: the back cap at z = 1 faces -z, and
// the front cap reverses them to face +z. Flat solid text thus shows its back
// to a viewer on +z: draw it with face culling off, or it disappears.
typedef void (*vector_symbol_operation)(int code);

// Outline contours as line loops.
void vector_draw_symbol_wired(int code);
// Filled triangles, with texture coordinates and outline when those options are on.
void vector_draw_symbol_solid(int code);
// Front and back outline joined by lines.
void vector_draw_symbol_3d_wired(int code);
// Extruded body: two caps and side walls, with an unlit outline when contouring is on.
void vector_draw_symbol_3d_solid(int code);

// Lays a string out symbol by symbol with one of the four symbol operations;
// the matrix is restored afterwards.
void vector_draw_string(const char *text, vector_symbol_operation draw_symbol);
void vector_draw_string_wired(const char *text);
void vector_draw_string_solid(const char *text);
void vector_draw_string_3d_wired(const char *text);
void vector_draw_string_3d_solid(const char *text);

// The same with a given font; the current font is restored afterwards.
void vector_font_draw_symbol_wired(int slot, int code);
void vector_font_draw_symbol_solid(int slot, int code);
void vector_font_draw_symbol_3d_wired(int slot, int code);
void vector_font_draw_symbol_3d_solid(int slot, int code);
void vector_font_draw_string_wired(int slot, const char *text);
void vector_font_draw_string_solid(int slot, const char *text);
void vector_font_draw_string_3d_wired(int slot, const char *text);
void vector_font_draw_string_3d_solid(int slot, const char *text);

// Bounding box of a string laid out in a font. Either corner (min_x and
// min_y, max_x and max_y) may be left out with nulls; a corner with only
// one of its two outputs given is not written.
void vector_string_bounds(int slot, const char *text, float *min_x, float *min_y,
                          float *max_x, float *max_y);
void vector_current_string_bounds(const char *text, float *min_x, float *min_y,
                                  float *max_x, float *max_y);

// Gap between neighbouring symbols' boxes, and the advance before a space.
void vector_set_symbol_spacing(float spacing);
float vector_get_symbol_spacing();
// Advance of a space and of a code the font has no symbol for.
void vector_set_space_size(float size);
float vector_get_space_size();
// Extrusion depth of the 3D modes.
void vector_set_symbol_depth(float depth);
float vector_get_symbol_depth();
// Stores the anchor code when it is 20 to 28; other codes are ignored.
void vector_set_anchor(int anchor);
int vector_get_anchor();
// Colour of the outline drawn when contouring is on.
void vector_set_contour_color(float red, float green, float blue, float alpha);

// ---- Bitmap fonts -----------------------------------------------------------

// Where a glyph lies in the font picture, in texture coordinates; also its
// size in model units when drawn.
struct bitmap_glyph_rect {
  float x, y, width, height;
};

constexpr float bitmap_glyph_gap = 0.001f;  // added to every glyph's advance

// Loads a BMF file into the lowest free slot and makes it current.
int bitmap_font_load(const char *path);
int bitmap_font_set_current(int slot);
int bitmap_font_get_current();
int bitmap_font_unload(int slot);
int bitmap_font_unload_current();

// Saves the texturing state, enables texturing and binds the current font.
void bitmap_text_begin();
// Restores the texturing state saved by bitmap_text_begin.
void bitmap_text_end();
// Draw with the current font; the modelview matrix advances past the text.
void bitmap_draw_char(int code);
void bitmap_draw_string(const char *text);
void bitmap_draw_char_masked(int code);
void bitmap_draw_string_masked(const char *text);

// The black-and-white mask of an RGBA picture: white where the picture is
// black, black elsewhere. The caller frees the result.
unsigned char *bitmap_make_mask(const unsigned char *rgba, int width, int height);

// The SGI picture embedded in a BMF file, read from an open file.
struct bmf_image_reader;
// Reads the picture's header (and row tables) at the file's current position
// into a new reader; bmf_image_close releases it.
bmf_image_reader *bmf_image_open(FILE *file);
// Releases a reader made by bmf_image_open; the file stays open.
void bmf_image_close(bmf_image_reader *reader);
// Decodes the picture at the file's current position into RGBA rows, bottom
// row first; the caller frees the result. Null on failure.
unsigned char *bmf_image_read_rgba(FILE *file, int *width, int *height, int *channels);

// ---- Text console -----------------------------------------------------------

constexpr int CONSOLE_MAX_COLUMNS = 511;  // a row and its NUL fill the 512-byte row buffer

// Replaces the console with an empty one of the given size. Sizes of 0 or
// less and widths above CONSOLE_MAX_COLUMNS are refused: the old console stays.
void console_set_size(int columns, int rows);
// Empties every cell and puts the cursor at column 0, row 0.
void console_clear();
// Write text at the cursor: codes 32 to 127 fill a cell, a newline ends the
// line, the bottom row scrolls up; other bytes are ignored.
void console_print(const char *text);
// Writes length bytes; nothing for null bytes or a length of 0 or less.
void console_write(const char *bytes, int length);
void console_put_char(int character);
// Selects the vector font the console is drawn with; -1 for an empty slot.
int console_set_font(int slot);
// Restarts the cursor blink with the period (draws per phase); periods of 0
// or less are ignored.
void console_set_blink_period(int period);
// Draws every row with the console font, one row every 2 units down.
void console_draw();
