// Turns a FreeType outline into closed polygons: lines stay, quadratic and
// cubic curves are cut into a fixed number of straight pieces.
#include "glyph_shape.h"

#include FT_OUTLINE_H

namespace {

struct flattener {
  glyph_shape shape;
  int steps;
  double x = 0, y = 0;     // pen position
  size_t contour_start = 0;  // index of the current contour's first point
};

void add_point(flattener &f, double x, double y)
{
  std::vector<double> &p = f.shape.points;
  size_t count = p.size() / 2;
  bool repeated = count > f.contour_start && p[2 * count - 2] == x && p[2 * count - 1] == y;
  if (!repeated) {
    p.push_back(x);
    p.push_back(y);
  }
  f.x = x;
  f.y = y;
}

// Drops the points of the contour from `start` on that lie exactly on the
// line through their neighbours: they add vertices without changing the
// shape, and the tessellator would make flat triangles of them.
void drop_straight_points(std::vector<double> &p, size_t start)
{
  bool dropped = true;
  while (dropped && p.size() / 2 - start > 3) {
    dropped = false;
    size_t n = p.size() / 2 - start;
    for (size_t i = 0; i < n; i++) {
      size_t a = start + (i + n - 1) % n, b = start + i, c = start + (i + 1) % n;
      double cross = (p[2 * b] - p[2 * a]) * (p[2 * c + 1] - p[2 * a + 1]) -
                     (p[2 * b + 1] - p[2 * a + 1]) * (p[2 * c] - p[2 * a]);
      if (cross == 0) {
        p.erase(p.begin() + 2 * b, p.begin() + 2 * b + 2);
        dropped = true;
        break;
      }
    }
  }
}

// Ends the current contour: drops a last point that closes onto the first
// and points on straight runs, and the whole contour when too little of it
// is left to enclose anything.
void close_contour(flattener &f)
{
  const int MIN_POINTS = 3;
  std::vector<double> &p = f.shape.points;
  size_t count = p.size() / 2;
  if (count > f.contour_start + 1 && p[2 * count - 2] == p[2 * f.contour_start] &&
      p[2 * count - 1] == p[2 * f.contour_start + 1]) {
    p.resize(p.size() - 2);
    count--;
  }
  if (count >= f.contour_start + MIN_POINTS) {
    drop_straight_points(p, f.contour_start);
    count = p.size() / 2;
  }
  if (count < f.contour_start + MIN_POINTS)
    p.resize(2 * f.contour_start);
  else
    f.shape.contour_ends.push_back((int)count - 1);
  f.contour_start = p.size() / 2;
}

int move_to(const FT_Vector *to, void *user)
{
  flattener &f = *(flattener *)user;
  close_contour(f);
  add_point(f, to->x, to->y);
  return 0;
}

int line_to(const FT_Vector *to, void *user)
{
  add_point(*(flattener *)user, to->x, to->y);
  return 0;
}

int conic_to(const FT_Vector *control, const FT_Vector *to, void *user)
{
  flattener &f = *(flattener *)user;
  double x0 = f.x, y0 = f.y;
  for (int i = 1; i <= f.steps; i++) {
    double t = (double)i / f.steps, u = 1 - t;
    add_point(f, u * u * x0 + 2 * u * t * control->x + t * t * to->x,
              u * u * y0 + 2 * u * t * control->y + t * t * to->y);
  }
  return 0;
}

int cubic_to(const FT_Vector *c1, const FT_Vector *c2, const FT_Vector *to, void *user)
{
  flattener &f = *(flattener *)user;
  double x0 = f.x, y0 = f.y;
  for (int i = 1; i <= f.steps; i++) {
    double t = (double)i / f.steps, u = 1 - t;
    double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    add_point(f, a * x0 + b * c1->x + c * c2->x + d * to->x,
              a * y0 + b * c1->y + c * c2->y + d * to->y);
  }
  return 0;
}

}  // namespace

glyph_shape flatten_outline(const FT_Outline &outline, int steps)
{
  flattener f;
  f.steps = steps;
  FT_Outline_Funcs funcs = {move_to, line_to, conic_to, cubic_to, 0, 0};
  FT_Outline_Decompose(const_cast<FT_Outline *>(&outline), &funcs, &f);
  close_contour(f);
  return f.shape;
}
