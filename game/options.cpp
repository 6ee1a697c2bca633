// The game's command line: each option is one row of a table, with the text
// the usage shows for it and the procedure that carries it out.
#include "game/options.h"

#include <cstdio>
#include <cstring>

namespace {

int show_help();
int show_version();

struct option_entry {
  const char *name;         // the long form, "--help"
  const char *short_name;   // the one-letter form, "-h"
  const char *description;  // one line for the usage
  int (*run)();             // an exit status, or START_GAME to play on
};

const option_entry options[] = {
    {"--help", "-h", "show this help and exit", show_help},
    {"--version", "-V", "show the version and exit", show_version},
};

// The usage line and every option.
void print_usage(FILE *out)
{
  std::fputs("Usage: pilko [OPTION]\n", out);
  for (const option_entry &option : options)
    std::fprintf(out, "  %s, %-12s %s\n", option.short_name, option.name, option.description);
}

int show_help()
{
  std::fputs("pilko: a small 3D platform game. Steer a ball over the levels, collect every\n"
             "drop, keep clear of the lava and of the enemies.\n\n",
             stdout);
  print_usage(stdout);
  std::fputs("\n"
             "Keys: Up/Down walk, Left/Right turn, SPACE jumps (and revives after a death),\n"
             "1-4 pick the camera, F12 saves a screenshot, ESC goes back to the title and\n"
             "quits there.\n"
             "\n"
             "pilko reads its maps, pictures, sounds and music from the working directory\n"
             "and writes screenshots there as vgrab-000.tga, vgrab-001.tga, ...\n"
             "The installed pilko command plays in $XDG_DATA_HOME/pilko\n"
             "(~/.local/share/pilko by default).\n",
             stdout);
  return 0;
}

int show_version()
{
  std::printf("pilko %s\n", PILKO_VERSION);
  return 0;
}

const option_entry *find_option(const char *word)
{
  for (const option_entry &option : options)
    if (std::strcmp(word, option.name) == 0 || std::strcmp(word, option.short_name) == 0)
      return &option;
  return nullptr;
}

}  // namespace

int read_options(int argc, char **argv)
{
  for (int i = 1; i < argc; ++i) {
    const option_entry *option = find_option(argv[i]);
    if (!option) {
      std::fprintf(stderr, "pilko: unknown option '%s'\n", argv[i]);
      print_usage(stderr);
      return 2;
    }
    int status = option->run();
    if (status != START_GAME)
      return status;
  }
  return START_GAME;
}
