// A library preloaded into the real game by the benchmark: it appends the
// monotonic time of every buffer swap, in nanoseconds, one line each, to the
// file named by PILKO_SWAP_LOG, so that the benchmark sees when each picture
// reached the screen without changing the game.
#include <GL/glx.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

using swap_function = void (*)(Display *, GLXDrawable);

int open_log()
{
  const char *path = std::getenv("PILKO_SWAP_LOG");
  return path ? open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
}

}  // namespace

extern "C" void glXSwapBuffers(Display *display, GLXDrawable drawable)
{
  static swap_function real_swap = (swap_function)dlsym(RTLD_NEXT, "glXSwapBuffers");
  static int log = open_log();
  real_swap(display, drawable);
  if (log < 0)
    return;
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  char line[32];
  int length = std::snprintf(line, sizeof line, "%lld\n", (long long)t.tv_sec * 1000000000LL + t.tv_nsec);
  // One write per line: the reader never sees half a line.
  ssize_t written = write(log, line, (size_t)length);
  (void)written;  // a lost line only loses one time
}
