// PNG files with an alpha channel, for pictures that need transparent
// corners (the desktop icon).
#pragma once

#include "tools/asset-kit/picture.h"

// Writes an 8-bit RGBA PNG; alpha holds each pixel's coverage 0..1 in its
// red channel and has the picture's size. The data are stored uncompressed
// (deflate's stored blocks), which every reader accepts. 0, or -1.
int write_png(const char *path, const picture &pic, const picture &alpha);
