// Files from outside handed to Allegro's loaders (pictures, music, sounds):
// read once through the careful reader, checked, and the very bytes checked
// are what Allegro reads, so that nothing (a FIFO put in the file's place,
// say) can come between the check and the load.
#pragma once

#include "base/base.h"

#include <functional>

struct PACKFILE;

// Reads the file at path, of at most limit bytes, asks problem_of why Allegro
// cannot safely have those bytes (null: it can), and returns what load makes
// of a packfile that reads them from their start. Null, after one warning
// line naming the file and why, when the file cannot be read, is refused or
// loads as nothing.
void *load_checked_file(const char *path, long limit,
                        const std::function<const char *(const byte_buffer &)> &problem_of,
                        const std::function<void *(PACKFILE *)> &load);
