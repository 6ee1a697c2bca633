// A glyph's shape as the vector font maker builds it: flattened contours
// and the triangles of the filled shape, in the font's own units.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
#include <vector>

struct glyph_shape {
  std::vector<double> points;      // pairs (x, y), contour after contour
  std::vector<int> contour_ends;   // index of each contour's last point
  std::vector<int> triangles;      // triples of point indices
};

// Flattens an outline: each curve becomes `steps` straight pieces. Repeated
// points and contours of fewer than three points are dropped.
glyph_shape flatten_outline(const FT_Outline &outline, int steps);

// Fills shape.triangles with a triangulation of the filled shape (non-zero
// winding, as TrueType fills). Returns false with a reason on failure.
bool triangulate_shape(glyph_shape &shape, std::string &error);
