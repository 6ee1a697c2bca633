// Vector fonts: the "GLF" file reader and the table of loaded fonts.
//
// A font file comes from outside, so the reader checks everything it needs
// before it keeps a symbol: a short file, an index beyond the vertex count or
// contours that do not end on the last vertex fail the load, and drawing can
// then trust every symbol it finds.
#include "font/vector_internal.h"
#include "base/base.h"  // the careful reader of outside files, little-endian values

#include <cstdlib>
#include <cstring>

namespace {

constexpr char GLF_MAGIC[] = "GLF";
constexpr int GLF_MAGIC_SIZE = 3;
constexpr int GLF_RESERVED_SIZE = 28;  // header bytes after the symbol count

const char MESSAGE_FORMAT[] = "Error reading font file: incorrect file format\n";
const char MESSAGE_DUPLICATE[] = "Error reading font file: encountered symbols in font\n";

void report(const char *message)
{
  if (font_option_messages == FONT_OPTION_ON)
    std::fputs(message, stdout);
}

// Exactly size bytes, or false for a short file; an empty read needs no buffer.
bool read_bytes(FILE *file, void *out, size_t size)
{
  return size == 0 || std::fread(out, 1, size, file) == size;
}

// A little-endian IEEE-754 single, whatever the host's byte order.
bool read_float(FILE *file, float *out)
{
  unsigned char b[4];
  if (!read_bytes(file, b, sizeof b))
    return false;
  *out = le_float_at(b);
  return true;
}

void free_symbol(vector_symbol *symbol)
{
  std::free(symbol->vertices);
  std::free(symbol->triangles);
  std::free(symbol->contour_ends);
  std::free(symbol);
}

// An array of count elements, or null for none; false when allocation fails.
template <typename T>
bool allocate(size_t count, T **out)
{
  *out = count ? (T *)std::malloc(count * sizeof(T)) : nullptr;
  return count == 0 || *out != nullptr;
}

// Every triangle index names a vertex, and the contours partition the
// vertices: their ends rise strictly and the last is the last vertex.
bool symbol_is_well_formed(const vector_symbol *s)
{
  for (int i = 0; i < s->triangle_count * 3; i++)
    if (s->triangles[i] >= s->vertex_count)
      return false;
  if (s->contour_count == 0)
    return s->vertex_count == 0;
  for (int k = 1; k < s->contour_count; k++)
    if (s->contour_ends[k] <= s->contour_ends[k - 1])
      return false;
  return s->contour_ends[s->contour_count - 1] == s->vertex_count - 1;
}

// Reads one symbol body after its four count bytes; null on a short file, a
// malformed symbol or a failed allocation, with nothing left allocated.
vector_symbol *read_symbol(FILE *file, const unsigned char counts[3])
{
  vector_symbol *s = (vector_symbol *)std::calloc(1, sizeof(vector_symbol));
  if (!s)
    return nullptr;
  s->vertex_count = counts[0];
  s->triangle_count = counts[1];
  s->contour_count = counts[2];
  s->min_x = s->min_y = VECTOR_BOX_START_MIN;
  s->max_x = s->max_y = VECTOR_BOX_START_MAX;
  bool ok = allocate(2 * (size_t)s->vertex_count, &s->vertices) &&
            allocate(3 * (size_t)s->triangle_count, &s->triangles) &&
            allocate(s->contour_count, &s->contour_ends);
  for (int v = 0; ok && v < s->vertex_count; v++) {
    float x, y;
    ok = read_float(file, &x) && read_float(file, &y);
    if (!ok)
      break;
    s->vertices[2 * v] = x;
    s->vertices[2 * v + 1] = y;
    if (x < s->min_x) s->min_x = x;
    if (x > s->max_x) s->max_x = x;
    if (y < s->min_y) s->min_y = y;
    if (y > s->max_y) s->max_y = y;
  }
  ok = ok && read_bytes(file, s->triangles, (size_t)s->triangle_count * 3) &&
       read_bytes(file, s->contour_ends, s->contour_count) && symbol_is_well_formed(s);
  if (!ok) {
    free_symbol(s);
    return nullptr;
  }
  return s;
}

// Reads the header and the symbols of an open file into font.
int read_font(FILE *file, vector_font *font)
{
  char magic[GLF_MAGIC_SIZE];
  if (!read_bytes(file, magic, sizeof magic) || std::memcmp(magic, GLF_MAGIC, GLF_MAGIC_SIZE) != 0) {
    report(MESSAGE_FORMAT);
    return -1;
  }
  unsigned char reserved[GLF_RESERVED_SIZE];
  if (!read_bytes(file, font->name, VECTOR_FONT_NAME_SIZE) ||
      !read_bytes(file, &font->symbol_count, 1) || !read_bytes(file, reserved, sizeof reserved)) {
    report(MESSAGE_FORMAT);
    return -1;
  }
  font->name[VECTOR_FONT_NAME_SIZE] = '\0';
  for (int i = 0; i < font->symbol_count; i++) {
    unsigned char head[4];  // code, vertex count, triangle count, contour count
    if (!read_bytes(file, head, sizeof head)) {
      report(MESSAGE_FORMAT);
      return -1;
    }
    if (font->symbols[head[0]]) {
      report(MESSAGE_DUPLICATE);
      return -1;
    }
    font->symbols[head[0]] = read_symbol(file, head + 1);
    if (!font->symbols[head[0]]) {
      report(MESSAGE_FORMAT);
      return -1;
    }
  }
  return 0;
}

bool slot_in_range(int slot)
{
  return slot >= 0 && slot < FONT_SLOT_COUNT;
}

}  // namespace

vector_font *vector_font_table[FONT_SLOT_COUNT];
int vector_current_font = -1;

void vector_font_release_symbols(vector_font *font)
{
  for (int code = 0; code < VECTOR_SYMBOL_CODES; code++) {
    if (font->symbols[code])
      free_symbol(font->symbols[code]);
    font->symbols[code] = nullptr;
  }
}

int vector_font_read_file(const char *path, vector_font *font)
{
  std::string error;  // the reader says nothing of a file it cannot open
  FILE *file = path ? open_regular_stream(path, error) : nullptr;
  if (!file)
    return -1;
  std::memset(font->symbols, 0, sizeof font->symbols);
  int result = read_font(file, font);
  if (result != 0)
    vector_font_release_symbols(font);
  std::fclose(file);
  return result;
}

int vector_font_load(const char *path)
{
  int slot = 0;
  while (slot < FONT_SLOT_COUNT && vector_font_table[slot])
    slot++;
  if (slot == FONT_SLOT_COUNT)
    return -1;
  vector_font *font = (vector_font *)std::calloc(1, sizeof(vector_font));
  if (!font)
    return -1;
  if (vector_font_read_file(path, font) != 0) {
    std::free(font);
    return -1;
  }
  vector_font_table[slot] = font;
  vector_current_font = slot;
  return slot;
}

const vector_font *vector_font_get(int slot)
{
  return slot_in_range(slot) ? vector_font_table[slot] : nullptr;
}

const vector_symbol *vector_current_symbol(int code)
{
  const vector_font *font = vector_font_get(vector_current_font);
  return font ? font->symbols[(unsigned char)code] : nullptr;
}

int vector_font_set_current(int slot)
{
  if (!vector_font_get(slot))
    return -1;
  vector_current_font = slot;
  return 0;
}

int vector_font_get_current()
{
  return vector_current_font;
}

int vector_font_unload_current()
{
  vector_font *font = (vector_font *)vector_font_get(vector_current_font);
  if (!font)
    return -1;
  vector_font_release_symbols(font);
  std::free(font);
  vector_font_table[vector_current_font] = nullptr;
  vector_current_font = -1;
  return 0;
}

int vector_font_unload(int slot)
{
  if (!vector_font_get(slot))
    return -1;
  int remembered = vector_current_font;
  vector_current_font = slot;
  vector_font_unload_current();
  if (remembered != slot)
    vector_current_font = remembered;
  return 0;
}

void vector_fonts_reset()
{
  for (int slot = 0; slot < FONT_SLOT_COUNT; slot++)
    vector_font_table[slot] = nullptr;
  vector_current_font = -1;
}

void vector_fonts_unload_all()
{
  for (int slot = 0; slot < FONT_SLOT_COUNT; slot++)
    vector_font_unload(slot);
}
