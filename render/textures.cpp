// Textures: the six block images turned into OpenGL textures at start-up.
#include "render/render.h"
#include "assets/asset_files.h"
#include "render/picture_file.h"

#include <alleggl.h>
#include <cassert>
#include <cstdio>

namespace {

// TEXTURE_FILES lists the image files by block kind.
static_assert(TEXTURE_FILE_COUNT == TEXTURE_COUNT, "one image file per block kind");

}  // namespace

GLuint textures[TEXTURE_COUNT];

// Converted to the working depth, so that it can be drawn onto a working
// bitmap (Allegro's sprite drawing does not mix true-colour depths) without
// losing colour to a 15- or 16-bit screen depth.
BITMAP *load_working_image(const char *path)
{
  int screen_depth = get_color_depth();
  set_color_depth(WORKING_DEPTH);
  BITMAP *image = load_picture(path);
  set_color_depth(screen_depth);
  return image;
}

GLenum texture_pixel_format()
{
  // AllegroGL's installation lays 24-bit pixels out as the bytes R, G, B;
  // plain Allegro on a little-endian machine lays them out B, G, R.
  if (_rgb_r_shift_24 == 0 && _rgb_g_shift_24 == 8 && _rgb_b_shift_24 == 16)
    return GL_RGB;
  assert(_rgb_r_shift_24 == 16 && _rgb_g_shift_24 == 8 && _rgb_b_shift_24 == 0 &&
         "24-bit pixels are neither R, G, B nor B, G, R bytes");
  return GL_BGR;
}

GLuint load_texture(const char *path, GLenum format)
{
  BITMAP *image = load_working_image(path);
  if (!image)
    return 0;
  GLuint name = 0;
  BITMAP *work = create_bitmap_ex(WORKING_DEPTH, image->w, image->h);
  if (work && bitmap_color_depth(image) == WORKING_DEPTH) {
    clear_bitmap(work);
    // Upside down, so that texture row 0 is the image's bottom row as GL
    // expects; the sprite draw leaves bright pink pixels black.
    draw_sprite_v_flip(work, image, 0, 0);
    name = upload_texture(work, format);
  }
  if (work)
    destroy_bitmap(work);
  destroy_bitmap(image);
  // The game plays on without it: that kind draws untextured.
  if (name == 0)
    std::fprintf(stderr, "pilko: warning: cannot make a texture of %s; playing on without it\n",
                 path);
  return name;
}

GLuint upload_texture(BITMAP *bitmap, GLenum format)
{
  assert(is_memory_bitmap(bitmap) && "textures are uploaded from memory bitmaps");
  assert((bitmap->h < 2 ||
          bitmap->line[1] - bitmap->line[0] == bitmap->w * ((bitmap_color_depth(bitmap) + 7) / 8)) &&
         "texture rows must be contiguous and tightly packed");
  GLuint name = 0;
  glGenTextures(1, &name);
  if (name == 0)
    return 0;
  glBindTexture(GL_TEXTURE_2D, name);
  // Rows are tightly packed; set the alignment here rather than trust that
  // the font loader left it at 1 (rows of 3-byte pixels are rarely a
  // multiple of 4 bytes).
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  GLint internal_format = bitmap_color_depth(bitmap) == 32 ? GL_RGBA : GL_RGB;
  glTexImage2D(GL_TEXTURE_2D, 0, internal_format, bitmap->w, bitmap->h, 0, format,
               GL_UNSIGNED_BYTE, bitmap->line[0]);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  return name;
}

void load_texture_set()
{
  GLenum format = texture_pixel_format();
  allegro_gl_begin();
  for (int kind = 0; kind < TEXTURE_COUNT; kind++)
    textures[kind] = load_texture(TEXTURE_FILES[kind], format);
  allegro_gl_end();
}
