// Allegro started without a display or sound, for tests of code that reads
// its key array or makes its samples: once per test program.
#pragma once

#include <gtest/gtest.h>
#include <allegro.h>
#include <cerrno>
#include <cstdlib>

inline void start_headless_allegro()
{
  static bool started = install_allegro(SYSTEM_NONE, &errno, std::atexit) == 0;
  ASSERT_TRUE(started) << allegro_error;
}
