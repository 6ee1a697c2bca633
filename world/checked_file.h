// Files from outside handed to Allegro's loaders (pictures, music, sounds):
// read once through the careful reader, checked, and the very bytes checked
// are what Allegro reads, so that nothing (a FIFO put in the file's place,
// say) can come between the check and the load.
#pragma once

#include "base/base.h"

#include <functional>

struct PACKFILE;

// Reads the file at path, of at most limit bytes, into bytes and asks
// problem_of why Allegro cannot safely have them (null: it can). False, after
// one warning line naming the file and why, when it cannot be used.
bool read_checked_file(const char *path, long limit,
                       const std::function<const char *(const byte_buffer &)> &problem_of,
                       byte_buffer &bytes);
// What load makes of a packfile reading bytes from their start; null, after
// one warning line naming path, when it makes nothing.
void *load_from_memory(const char *path, const byte_buffer &bytes,
                       const std::function<void *(PACKFILE *)> &load);
