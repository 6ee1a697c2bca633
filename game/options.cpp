// The game's command line: each option is one row of a table, with the text
// the usage shows for it and the procedure that carries it out.
#include "game/options.h"
#include "base/base.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int show_help(const char *);
int show_version(const char *);
int choose_window(const char *);
int choose_window_size(const char *value);
int choose_level(const char *value);
int choose_record(const char *value);
int choose_replay(const char *value);
int choose_edit(const char *value);

struct option_entry {
  const char *name;         // the long form, "--help"
  const char *short_name;   // the one-letter form, "-h"
  const char *value_name;   // the value that follows it, or null for none
  const char *description;  // one line for the usage
  int (*run)(const char *value);  // an exit status, or START_GAME to play on
};

const option_entry options[] = {
    {"--help", "-h", nullptr, "show this help and exit", show_help},
    {"--version", "-V", nullptr, "show the version and exit", show_version},
    {"--window", "-w", nullptr, "play in a window, the largest multiple of 640 x 480 that fits",
     choose_window},
    {"--window-size", "-s", "WxH", "play in a window of W x H pixels", choose_window_size},
    {"--level", "-l", "N|FILE",
     "start at level N, or play the level FILE (.level or .map) alone", choose_level},
    {"--record", "-r", "FILE", "write the keys of each game played to FILE", choose_record},
    {"--replay", "-p", "FILE", "play the game recorded in FILE again, at once (ESC ends it)",
     choose_replay},
    {"--edit", "-e", "FILE", "edit the level FILE.level (a new one if there is none); H lists the keys",
     choose_edit},
};

// The usage line and every option.
void print_usage(FILE *out)
{
  std::fputs("Usage: pilko [OPTION]...\n", out);
  for (const option_entry &option : options) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%s%s", option.name, option.value_name ? " " : "",
                  option.value_name ? option.value_name : "");
    std::fprintf(out, "  %s, %-18s %s\n", option.short_name, name, option.description);
  }
}

int show_help(const char *)
{
  std::fputs("pilko: a small 3D platform game. Steer a ball over the levels, collect every\n"
             "drop, keep clear of the lava and of the enemies.\n\n",
             stdout);
  print_usage(stdout);
  std::fputs("\n"
             "Keys: Up/Down walk, Left/Right turn, SPACE jumps, 1-4 pick the camera,\n"
             "P pauses and goes on, ESC goes back to the title and quits there.\n"
             "F12 saves a screenshot every tick while held: 25 a second.\n"
             "SPACE at the title starts a game (still held as play begins, the hero jumps\n"
             "at once); after a death SPACE brings the hero back to the level's start,\n"
             "jumping, for a life, and on the last life it ends the game.\n"
             "Each screen answers only a key pressed while it is shown.\n"
             "\n"
             "Full screen, pilko switches to 640 x 480 where the screen has that mode;\n"
             "elsewhere (a Wayland desktop, a screen without it) it fills the screen at\n"
             "the desktop's own resolution, the picture 4:3 in the middle between black\n"
             "bars. A window's picture follows the window's size the same way. F12 saves\n"
             "the 4:3 picture at the size it is drawn.\n"
             "\n"
             "A recording (--record) is a key script after a line naming its level;\n"
             "pilko-sim MAP FILE replays it without a display.\n"
             "\n"
             "pilko --edit FILE.level builds a level in the game's own view: H shows the\n"
             "editor's keys, P play-tests the level, Ctrl+S saves it, and with it, as\n"
             "FILE.solution, the keys of the last play-test that completed it.\n"
             "\n"
             "pilko reads its maps, pictures, sounds and music from the working directory\n"
             "and writes screenshots there as vgrab-000.tga, vgrab-001.tga, ...\n"
             "The installed pilko command plays in $XDG_DATA_HOME/pilko\n"
             "(~/.local/share/pilko by default), and keeps the levels named without a\n"
             "folder (pilko --edit NAME.level, pilko --level NAME.level) in its levels/.\n",
             stdout);
  return 0;
}

int show_version(const char *)
{
  std::printf("pilko %s\n", PILKO_VERSION);
  return 0;
}

int choose_window(const char *)
{
  choices.screen.window = true;
  return START_GAME;
}

// One side of a window size: digits only, within the limits; -1 otherwise.
long window_side(const char *text, char **end, long smallest)
{
  if (!std::isdigit((unsigned char)*text))
    return -1;
  errno = 0;
  long side = std::strtol(text, end, 10);
  return errno == 0 && side >= smallest && side <= LARGEST_WINDOW_SIDE ? side : -1;
}

int choose_window_size(const char *value)
{
  char *end = nullptr;
  long width = window_side(value, &end, SMALLEST_WINDOW_WIDTH);
  long height = width > 0 && *end == 'x' ? window_side(end + 1, &end, SMALLEST_WINDOW_HEIGHT) : -1;
  if (height < 0 || *end != '\0') {
    std::fprintf(stderr, "pilko: --window-size needs WIDTHxHEIGHT, from %dx%d to %dx%d\n",
                 SMALLEST_WINDOW_WIDTH, SMALLEST_WINDOW_HEIGHT, LARGEST_WINDOW_SIDE, LARGEST_WINDOW_SIDE);
    print_usage(stderr);
    return 2;
  }
  choices.screen = {true, (int)width, (int)height};
  return START_GAME;
}

int choose_level(const char *value)
{
  choices.level = value;
  return START_GAME;
}

int choose_record(const char *value)
{
  choices.record = value;
  return START_GAME;
}

int choose_replay(const char *value)
{
  choices.replay = value;
  return START_GAME;
}

int choose_edit(const char *value)
{
  choices.edit = value;
  return START_GAME;
}

const option_entry *find_option(const char *word)
{
  for (const option_entry &option : options)
    if (std::strcmp(word, option.name) == 0 || std::strcmp(word, option.short_name) == 0)
      return &option;
  return nullptr;
}

}  // namespace

player_choices choices;

int read_options(int argc, char **argv)
{
  for (int i = 1; i < argc; ++i) {
    const option_entry *option = find_option(argv[i]);
    if (!option) {
      report_problem("unknown option '" + printable(argv[i]) + "'");
      print_usage(stderr);
      return 2;
    }
    const char *value = nullptr;
    if (option->value_name) {
      if (i + 1 == argc) {
        std::fprintf(stderr, "pilko: %s needs %s\n", argv[i], option->value_name);
        print_usage(stderr);
        return 2;
      }
      value = argv[++i];
    }
    int status = option->run(value);
    if (status != START_GAME)
      return status;
  }
  if (choices.edit && (choices.level || choices.record || choices.replay)) {
    std::fprintf(stderr, "pilko: --edit plays no game: leave out --level, --record and --replay\n");
    return 2;
  }
  return START_GAME;
}
