// An OpenGL context for tests: an AllegroGL window on a virtual X server that
// the test program starts for itself and stops when it ends.
#pragma once

// GoogleTest first: the X11 headers that AllegroGL pulls in define macros
// (None, Bool) that clash with its names.
#include <gtest/gtest.h>
#include <allegro.h>
#include <alleggl.h>
#include <GL/gl.h>
#include "tools/asset-kit/gl_window.h"
#include <vector>

// Opens the context once per test program (later calls do nothing). The
// window is 640 x 480, double-buffered, with a depth buffer. Fails the
// calling test when no context can be had.
void open_gl_test_context();

// Runs draw in GL's feedback mode (GL_3D_COLOR_TEXTURE) and returns the
// buffer it filled; draw issues the GL calls to capture.
std::vector<float> capture_feedback(void (*draw)(), int capacity = 1 << 16);
