// View-frustum culling: the six planes of the view volume in world
// coordinates, and the bounding-sphere test the frame runs against them.
#include "render/render.h"

#include <cmath>

namespace {

constexpr int MATRIX_SIZE = 16;  // a 4 x 4 GL matrix, column-major

// How each plane is formed from the rows of the clip matrix: row 3 plus
// (sign) times row (row). The order is the order of frustum_planes.
struct plane_rows {
  int row;
  float sign;
};
constexpr plane_rows plane_table[FRUSTUM_PLANE_COUNT] = {
  {0, -1.0f},  // right
  {0, 1.0f},   // left
  {1, 1.0f},   // bottom
  {1, -1.0f},  // top
  {2, -1.0f},  // far
  {2, 1.0f},   // near
};

}  // namespace

float frustum_planes[FRUSTUM_PLANE_COUNT][4];

void extract_frustum()
{
  float projection[MATRIX_SIZE];
  float modelview[MATRIX_SIZE];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
  frustum_from_matrices(projection, modelview);
}

void frustum_from_matrices(const float projection[16], const float modelview[16])
{
  // clip = projection x modelview: maps world coordinates to clip space.
  float clip[MATRIX_SIZE];
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++)
      clip[4 * i + j] = modelview[4 * i + 0] * projection[j] +
                        modelview[4 * i + 1] * projection[4 + j] +
                        modelview[4 * i + 2] * projection[8 + j] +
                        modelview[4 * i + 3] * projection[12 + j];

  for (int p = 0; p < FRUSTUM_PLANE_COUNT; p++) {
    float *plane = frustum_planes[p];
    int r = plane_table[p].row;
    float sign = plane_table[p].sign;
    for (int k = 0; k < 4; k++)
      plane[k] = clip[4 * k + 3] + sign * clip[4 * k + r];
    // Unit normals make a*x + b*y + c*z + d a true distance. The game's
    // perspective is fixed, so the length is never 0.
    float length = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
    for (int k = 0; k < 4; k++)
      plane[k] /= length;
  }
}

float sphere_in_frustum(float x, float y, float z, float radius)
{
  // The loop ends on the near plane, whose distance gives the result.
  float distance = 0.0f;
  for (int p = 0; p < FRUSTUM_PLANE_COUNT; p++) {
    const float *plane = frustum_planes[p];
    distance = plane[0] * x + plane[1] * y + plane[2] * z + plane[3];
    // Touching a plane from outside is already outside.
    if (distance <= -radius)
      return 0.0f;
  }
  return distance + radius;
}
