// vector-font-maker: turns a TrueType or OpenType font into a "GLF" vector
// font of the printable ASCII characters.
//
//   vector-font-maker FONT.ttf OUTPUT.glf   (vector-font-maker --help says more)
//
// Each glyph's outline is flattened into contours and its filled shape
// triangulated; all glyphs share one scale that puts every coordinate within
// -1..1, with each glyph centred on the middle of its advance. The output is
// the same for the same input.
#include "font/font.h"
#include "font/font_write.h"
#include "glyph_shape.h"
#include "tools/asset-kit/command_line.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr int FIRST_CODE = 32;     // space
constexpr int LAST_CODE = 126;     // tilde
constexpr int MAX_CURVE_STEPS = 6; // pieces per curve when the counts allow
constexpr size_t BYTE_LIMIT = 255; // every count of a GLF symbol is one byte

struct made_glyph {
  int code;
  glyph_shape shape;
  double advance;  // font units
};

bool fits_in_bytes(const glyph_shape &s)
{
  return s.points.size() / 2 <= BYTE_LIMIT && s.triangles.size() / 3 <= BYTE_LIMIT &&
         s.contour_ends.size() <= BYTE_LIMIT;
}

// Flattens and triangulates one glyph, with coarser curves until its counts
// fit the format. False with a message on failure.
bool make_glyph(FT_Face face, int code, made_glyph &out, std::string &error)
{
  if (FT_Load_Char(face, code, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP)) {
    error = "cannot load the glyph";
    return false;
  }
  if (face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
    error = "the glyph is not an outline";
    return false;
  }
  out.code = code;
  out.advance = face->glyph->metrics.horiAdvance;
  for (int steps = MAX_CURVE_STEPS; steps >= 1; steps--) {
    out.shape = flatten_outline(face->glyph->outline, steps);
    if (!triangulate_shape(out.shape, error))
      return false;
    if (fits_in_bytes(out.shape))
      return true;
  }
  error = "too many vertices or triangles even with straight curves";
  return false;
}

// Maps every glyph into -1..1 with one scale, each centred on its advance.
void normalise(std::vector<made_glyph> &glyphs)
{
  double low = HUGE_VAL, high = -HUGE_VAL, widest = 0;
  for (const made_glyph &g : glyphs) {
    for (size_t i = 0; i < g.shape.points.size(); i += 2) {
      widest = std::fmax(widest, std::fabs(g.shape.points[i] - g.advance / 2));
      low = std::fmin(low, g.shape.points[i + 1]);
      high = std::fmax(high, g.shape.points[i + 1]);
    }
  }
  if (high <= low || widest <= 0)
    return;
  double scale = std::fmin(2 / (high - low), 1 / widest);
  double middle = (low + high) / 2;
  for (made_glyph &g : glyphs) {
    for (size_t i = 0; i < g.shape.points.size(); i += 2) {
      g.shape.points[i] = (g.shape.points[i] - g.advance / 2) * scale;
      g.shape.points[i + 1] = (g.shape.points[i + 1] - middle) * scale;
    }
  }
}

glf_symbol_source to_symbol(const made_glyph &g)
{
  glf_symbol_source s;
  s.code = (uint8_t)g.code;
  s.vertices.assign(g.shape.points.begin(), g.shape.points.end());
  s.triangles.assign(g.shape.triangles.begin(), g.shape.triangles.end());
  s.contour_ends.assign(g.shape.contour_ends.begin(), g.shape.contour_ends.end());
  return s;
}

std::string font_name(FT_Face face)
{
  std::string name = face->family_name ? face->family_name : "";
  if (face->style_name && *face->style_name)
    name += std::string(" ") + face->style_name;
  return name.substr(0, VECTOR_FONT_NAME_SIZE);
}

const char *input = nullptr, *output = nullptr;

const tool_usage usage = {
  "vector-font-maker",
  "Turns a TrueType or OpenType font into a GLF vector font of the printable ASCII characters.",
  {{nullptr, nullptr, {
    operand("FONT.ttf", "the font to read", &input),
    operand("OUTPUT.glf", "the vector font file to write", &output),
  }}},
};

// Makes the vector font, writes it and reads it back; returns the exit status.
int make_font()
{
  FT_Library library;
  FT_Face face;
  if (FT_Init_FreeType(&library))
    return tool_error("cannot start FreeType");
  if (FT_New_Face(library, input, 0, &face)) {
    FT_Done_FreeType(library);
    return file_error(input, "cannot read the font");
  }
  std::vector<made_glyph> glyphs(LAST_CODE - FIRST_CODE + 1);
  int failures = 0;
  for (int code = FIRST_CODE; code <= LAST_CODE; code++) {
    std::string error;
    if (!make_glyph(face, code, glyphs[code - FIRST_CODE], error)) {
      file_error(input, std::string("glyph '") + (char)code + "': " + error);
      failures++;
    }
  }
  std::string name = font_name(face);
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  if (failures)
    return EXIT_TOOL_FAILED;

  normalise(glyphs);
  std::vector<glf_symbol_source> symbols;
  for (const made_glyph &g : glyphs)
    symbols.push_back(to_symbol(g));
  if (glf_write(output, name.c_str(), symbols) != 0)
    return file_error(output, "cannot write the font");
  // Read it back with the game's own reader, so a file it would refuse never ships.
  vector_font check = {};
  if (vector_font_read_file(output, &check) != 0) {
    std::remove(output);
    return file_error(output, "the written font does not read back");
  }
  vector_font_release_symbols(&check);
  return 0;
}

}  // namespace

int main(int argc, char **argv)
{
  return run_tool(usage, argc, argv, make_font);
}
