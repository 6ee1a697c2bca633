// A test program that takes a virtual display and then crashes or hangs, as a
// faulty test would. It writes its server's identity to a file first, so that
// the display tests can see whether the server outlives it.
//
//   display_owner crash FILE   then dies of a segmentation fault
//   display_owner hang FILE    then prints "display ready" and waits forever
#include "server_process.h"
#include "tests/support/display.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <unistd.h>

int main(int argc, char **argv)
{
  if (argc != 3 || (std::strcmp(argv[1], "crash") != 0 && std::strcmp(argv[1], "hang") != 0)) {
    std::fprintf(stderr, "usage: display_owner crash|hang FILE\n");
    return 2;
  }
  use_own_display();  // the server under test is the one this program owns
  std::string server = display_server(test_display());
  if (server.empty()) {
    std::fprintf(stderr, "display_owner: no virtual display\n");
    return 1;
  }
  std::ofstream(argv[2]) << server << "\n";
  if (std::strcmp(argv[1], "crash") == 0) {
    std::signal(SIGSEGV, SIG_DFL);  // dies of it, also where a sanitizer would catch it
    std::raise(SIGSEGV);
  }
  std::printf("display ready\n");
  std::fflush(stdout);
  for (;;)
    pause();
}
