// Bitmap fonts: the slot table, loading a BMF file into two textures and 256
// glyph display lists, and drawing text through those lists.
#include "font/bmf_image.h"
#include "font/font_internal.h"
#include "base/base.h"  // the careful reader of outside files

#include <GL/gl.h>  // textures, display lists and blending
#include <cstdlib>
#include <cstring>

namespace {

constexpr int GLYPH_LIST_COUNT = 256;  // one display list per character code
constexpr GLint TEXTURE_COMPONENTS = 3;  // RGB: the picture's alpha is not kept

// ---- Slot table (library-wide; emptied by font_init) -----------------------

uint8_t bitmap_slot_used[FONT_SLOT_COUNT];
GLuint bitmap_font_texture[FONT_SLOT_COUNT];
GLuint bitmap_mask_texture[FONT_SLOT_COUNT];
GLuint bitmap_list_base[FONT_SLOT_COUNT];
int bitmap_current_font = -1;
GLboolean bitmap_saved_texture_state = GL_FALSE;

// Glyph rectangles of the font being loaded; after loading they live only in
// its display lists.
bitmap_glyph_rect bitmap_glyph_table[BMF_GLYPH_COUNT];

bool slot_in_use(int slot)
{
  return slot >= 0 && slot < FONT_SLOT_COUNT && bitmap_slot_used[slot];
}

bool have_current_font()
{
  return slot_in_use(bitmap_current_font);
}

int lowest_free_slot()
{
  for (int slot = 0; slot < FONT_SLOT_COUNT; slot++)
    if (!bitmap_slot_used[slot])
      return slot;
  return -1;
}

// Uploads tightly packed RGBA pixels into a new texture with linear filters.
GLuint upload_texture(const unsigned char *pixels, int width, int height)
{
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexImage2D(GL_TEXTURE_2D, 0, TEXTURE_COMPONENTS, width, height, 0, GL_RGBA,
               GL_UNSIGNED_BYTE, pixels);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  return texture;
}

// One list per code: a textured quad glyph-sized at the current position,
// then a step right by the glyph's width and the gap.
GLuint compile_glyph_lists()
{
  GLuint base = glGenLists(GLYPH_LIST_COUNT);
  for (int code = 0; code < GLYPH_LIST_COUNT; code++) {
    const bitmap_glyph_rect &g = bitmap_glyph_table[code];
    glNewList(base + code, GL_COMPILE);
    glBegin(GL_QUADS);
    glTexCoord2f(g.x, g.y);
    glVertex2f(0, 0);
    glTexCoord2f(g.x + g.width, g.y);
    glVertex2f(g.width, 0);
    glTexCoord2f(g.x + g.width, g.y + g.height);
    glVertex2f(g.width, g.height);
    glTexCoord2f(g.x, g.y + g.height);
    glVertex2f(0, g.height);
    glEnd();
    glTranslatef(g.width + bitmap_glyph_gap, 0, 0);
    glEndList();
  }
  return base;
}

// Calls the current font's glyph lists for each byte of text.
void call_glyph_lists(const unsigned char *bytes, size_t count)
{
  glListBase(bitmap_list_base[bitmap_current_font]);
  glCallLists((GLsizei)count, GL_UNSIGNED_BYTE, bytes);
}

// Masked drawing in two passes: multiply the destination by the mask (black
// under the glyphs' coloured pixels), then add the font picture in the
// caller's colour.
void draw_masked(const unsigned char *bytes, size_t count)
{
  glPushMatrix();
  glPushAttrib(GL_CURRENT_BIT);
  glColor3ub(255, 255, 255);
  glBlendFunc(GL_DST_COLOR, GL_ZERO);
  glBindTexture(GL_TEXTURE_2D, bitmap_mask_texture[bitmap_current_font]);
  call_glyph_lists(bytes, count);
  glPopAttrib();
  glPopMatrix();

  glBindTexture(GL_TEXTURE_2D, bitmap_font_texture[bitmap_current_font]);
  glBlendFunc(GL_ONE, GL_ONE);
  call_glyph_lists(bytes, count);
}

}  // namespace

// ---- Loading and the slot table ----------------------------------------------

int bitmap_font_load(const char *path)
{
  int slot = lowest_free_slot();
  if (slot < 0 || !path)
    return -1;
  std::string error;  // a font that cannot be opened is a failed load, no more
  FILE *file = open_regular_stream(path, error);
  if (!file)
    return -1;
  int width = 0, height = 0;
  unsigned char *pixels = bmf_read_font(file, bitmap_glyph_table, &width, &height);
  std::fclose(file);
  if (!pixels)
    return -1;
  unsigned char *mask = bitmap_make_mask(pixels, width, height);
  if (!mask) {
    std::free(pixels);
    return -1;
  }

  bitmap_slot_used[slot] = 1;
  bitmap_current_font = slot;
  // Left in place: the game's texture uploads after this rely on packed rows.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  bitmap_font_texture[slot] = upload_texture(pixels, width, height);
  bitmap_mask_texture[slot] = upload_texture(mask, width, height);
  std::free(pixels);
  std::free(mask);
  bitmap_list_base[slot] = compile_glyph_lists();
  return slot;
}

int bitmap_font_set_current(int slot)
{
  if (!slot_in_use(slot))
    return -1;
  bitmap_current_font = slot;
  return 0;
}

int bitmap_font_get_current()
{
  return bitmap_current_font;
}

// Frees the slot with its two textures and its block of glyph lists.
int bitmap_font_unload(int slot)
{
  if (!slot_in_use(slot))
    return -1;
  bitmap_slot_used[slot] = 0;
  glDeleteTextures(1, &bitmap_font_texture[slot]);
  glDeleteTextures(1, &bitmap_mask_texture[slot]);
  glDeleteLists(bitmap_list_base[slot], GLYPH_LIST_COUNT);
  bitmap_font_texture[slot] = bitmap_mask_texture[slot] = bitmap_list_base[slot] = 0;
  if (bitmap_current_font == slot)
    bitmap_current_font = -1;
  return 0;
}

int bitmap_font_unload_current()
{
  return bitmap_font_unload(bitmap_current_font);
}

void bitmap_fonts_reset()
{
  std::memset(bitmap_slot_used, 0, sizeof bitmap_slot_used);
  bitmap_current_font = -1;
}

void bitmap_fonts_unload_all()
{
  for (int slot = 0; slot < FONT_SLOT_COUNT; slot++)
    bitmap_font_unload(slot);
}

// ---- The mask ----------------------------------------------------------------

unsigned char *bitmap_make_mask(const unsigned char *rgba, int width, int height)
{
  if (!rgba || width < 0 || height < 0)
    return nullptr;
  size_t pixel_count = (size_t)width * height;
  unsigned char *mask = (unsigned char *)std::malloc(pixel_count * 4);
  if (!mask)
    return nullptr;
  for (size_t i = 0; i < pixel_count; i++) {
    const unsigned char *in = rgba + 4 * i;
    unsigned char shade = (in[0] | in[1] | in[2]) == 0 ? 255 : 0;
    unsigned char *out = mask + 4 * i;
    out[0] = out[1] = out[2] = shade;
    out[3] = 0;
  }
  return mask;
}

// ---- Drawing -------------------------------------------------------------------

void bitmap_text_begin()
{
  glGetBooleanv(GL_TEXTURE_2D, &bitmap_saved_texture_state);
  glEnable(GL_TEXTURE_2D);
  if (have_current_font())
    glBindTexture(GL_TEXTURE_2D, bitmap_font_texture[bitmap_current_font]);
}

void bitmap_text_end()
{
  if (bitmap_saved_texture_state)
    glEnable(GL_TEXTURE_2D);
  else
    glDisable(GL_TEXTURE_2D);
}

void bitmap_draw_char(int code)
{
  if (!have_current_font())
    return;
  glCallList(bitmap_list_base[bitmap_current_font] + (code & 0xFF));
}

void bitmap_draw_string(const char *text)
{
  if (!have_current_font() || !text)
    return;
  call_glyph_lists((const unsigned char *)text, std::strlen(text));
}

void bitmap_draw_char_masked(int code)
{
  if (!have_current_font())
    return;
  unsigned char byte = (unsigned char)(code & 0xFF);
  draw_masked(&byte, 1);
}

void bitmap_draw_string_masked(const char *text)
{
  if (!have_current_font() || !text)
    return;
  draw_masked((const unsigned char *)text, std::strlen(text));
}
