// The area of the window the game's 4:3 picture fills, and full-screen
// pictures drawn into it as filtered textures.
#include "render/render.h"
#include "world/game_rules.h"
#include "world/world.h"

#include <alleggl.h>
#include <cassert>

namespace {

// The least power of two that holds side texels: OpenGL 1.1 textures have
// power-of-two sides.
int texture_side(int side)
{
  int texels = 1;
  while (texels < side)
    texels *= 2;
  return texels;
}

// Uploads the picture into the bottom left of the bound texture, row 0 (its
// top) first. The texels just right of it and just below it repeat its last
// column and row, so that filtering at its edges does not blend in the
// unused rest of the texture.
void upload_with_edges(BITMAP *picture, int texture_width, int texture_height)
{
  GLenum format = texture_pixel_format();
  int width = picture->w, height = picture->h;
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, width);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, texture_width, texture_height, 0, format, GL_UNSIGNED_BYTE,
               nullptr);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, format, GL_UNSIGNED_BYTE, picture->line[0]);
  bool column = width < texture_width, row = height < texture_height;
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, width - 1);
  if (column)
    glTexSubImage2D(GL_TEXTURE_2D, 0, width, 0, 1, height, format, GL_UNSIGNED_BYTE, picture->line[0]);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, height - 1);
  if (column && row)
    glTexSubImage2D(GL_TEXTURE_2D, 0, width, height, 1, 1, format, GL_UNSIGNED_BYTE, picture->line[0]);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  if (row)
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, height, width, 1, format, GL_UNSIGNED_BYTE, picture->line[0]);
  glPopClientAttrib();
}

}  // namespace

screen_area picture_area = {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};

screen_area fit_picture_area(int window_width, int window_height)
{
  // X windows are at most 65535 pixels each way: the products fit an int.
  int wide = window_width * screen_height, tall = window_height * screen_width;
  screen_area area;
  if (wide >= tall) {  // wider than the picture: bars left and right
    area.height = window_height;
    area.width = tall / screen_height;
  } else {             // taller: bars above and below
    area.width = window_width;
    area.height = wide / screen_width;
  }
  area.x = (window_width - area.width) / 2;
  area.y = (window_height - area.height) / 2;
  return area;
}

int largest_picture_multiple(int width, int height)
{
  int across = width / screen_width, down = height / screen_height;
  int multiple = across < down ? across : down;
  return multiple > 1 ? multiple : 1;
}

void use_picture_area()
{
  glViewport(picture_area.x, picture_area.y, picture_area.width, picture_area.height);
}

void read_drawn_picture(GLenum format, std::vector<unsigned char> &pixels)
{
  size_t channels = format == GL_RGBA ? 4 : 3;
  pixels.resize((size_t)picture_area.width * picture_area.height * channels);
  GLint previous_buffer = GL_BACK, previous_alignment = 4;
  glGetIntegerv(GL_READ_BUFFER, &previous_buffer);
  glGetIntegerv(GL_PACK_ALIGNMENT, &previous_alignment);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(picture_area.x, picture_area.y, picture_area.width, picture_area.height, format, GL_UNSIGNED_BYTE,
               pixels.data());
  glPixelStorei(GL_PACK_ALIGNMENT, previous_alignment);
  glReadBuffer((GLenum)previous_buffer);
}

void draw_picture_scaled(BITMAP *picture, int x, int y)
{
  assert(picture && is_memory_bitmap(picture) && bitmap_color_depth(picture) == WORKING_DEPTH &&
         "pictures are drawn scaled from 24-bit memory bitmaps");
  assert((picture->h < 2 || picture->line[1] - picture->line[0] == picture->w * (WORKING_DEPTH / 8)) &&
         "picture rows must be contiguous and tightly packed");
  GLuint texture = 0;
  glGenTextures(1, &texture);
  if (texture == 0)
    return;
  int texture_width = texture_side(picture->w), texture_height = texture_side(picture->h);
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glBindTexture(GL_TEXTURE_2D, texture);
  upload_with_edges(picture, texture_width, texture_height);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_BLEND);
  glDisable(GL_CULL_FACE);  // y runs down here, which turns the quad's winding
  use_picture_area();
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  // The picture's own pixels, from the top left corner, as Allegro places them.
  glOrtho(0, screen_width, screen_height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  float right = (float)picture->w / (float)texture_width;
  float bottom = (float)picture->h / (float)texture_height;
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0), glVertex2i(x, y);
  glTexCoord2f(right, 0), glVertex2i(x + picture->w, y);
  glTexCoord2f(right, bottom), glVertex2i(x + picture->w, y + picture->h);
  glTexCoord2f(0, bottom), glVertex2i(x, y + picture->h);
  glEnd();
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();
  glDeleteTextures(1, &texture);
}
