// The game as a player meets it, end to end: the real program on the
// project's virtual X server, keys pressed with xdotool, the screen, the
// sound and the game's output looked at. Each scenario is a list of steps,
// each step an action or a look that must come true in time.
#include "tests/game/harness.h"
#include "world/game_rules.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cmath>
#include <csignal>
#include <map>
#include <thread>
#include <unistd.h>

namespace {

constexpr double SAME_SCREEN = 0.5;     // two frames of a world standing still
constexpr double SAME_PICTURE = 1.0;    // a screenshot file against the screen
constexpr double SCALED_TOLERANCE = 8.0;  // a picture scaled by the game against ImageMagick's scaling
constexpr int BLACK_LEVEL = 8;          // no channel above this: a bar's pixel
constexpr int DESIGNED_HEIGHT = 480;    // the designed picture's; the rows below are its rows
constexpr double CHANGED_SCREEN = 5.0;  // a view that turned, moved or jumped
constexpr double IN_GAME = 20.0;        // a screen this far from the title shows play
// Rows of the level banner (which fades by itself), the death line, the
// status line (which counts), "PAUSED", and a level's name in the banner.
constexpr int BANNER_TOP = 80, BANNER_BOTTOM = 200, DEATH_LINE_TOP = 368, DEATH_LINE_BOTTOM = 400;
constexpr int STATUS_LINE_TOP = 456, PAUSED_TOP = 200, PAUSED_BOTTOM = 280, NAME_TOP = 100, NAME_BOTTOM = 180;
constexpr int MANY = 1 << 30;

bool golden(const unsigned char *rgb) { return rgb[0] > 200 && rgb[1] > 160 && rgb[2] < 120; }
// The editor's bright yellow cursor outline, which the game's own view lacks.
bool cursor_yellow(const unsigned char *rgb) { return rgb[0] > 240 && rgb[1] > 240 && rgb[2] > 20 && rgb[2] < 90; }

// A row of the designed 480-row picture in a picture of this height.
int row(const picture &p, int designed) { return designed * p.height / DESIGNED_HEIGHT; }

// The two pictures above (designed) row bottom compared, the banner's rows left out.
double difference_above(picture a, picture b, int bottom)
{
  for (picture *p : {&a, &b}) {
    size_t width = (size_t)p->width * 3, banner_top = row(*p, BANNER_TOP) * width, banner_bottom = row(*p, BANNER_BOTTOM) * width;
    p->rgb.resize(std::min(p->rgb.size(), row(*p, bottom) * width));
    std::fill(p->rgb.begin() + std::min(p->rgb.size(), banner_top), p->rgb.begin() + std::min(p->rgb.size(), banner_bottom), 0);
    p->height = row(*p, bottom);
  }
  return picture_difference(a, b);
}

// A rectangle of a picture, in its pixels from the top left.
struct rectangle {
  int x, y, width, height;
};
picture crop(const picture &p, const rectangle &r)
{
  picture part{r.width, r.height, {}};
  for (int y = r.y; y < r.y + r.height && r.x + r.width <= p.width && y < p.height; y++)
    part.rgb.insert(part.rgb.end(), p.rgb.begin() + ((size_t)y * p.width + r.x) * 3,
                    p.rgb.begin() + ((size_t)y * p.width + r.x + r.width) * 3);
  return part.rgb.size() == (size_t)r.width * r.height * 3 ? part : picture{};
}
// Whether every pixel of the frame outside the area is black.
bool black_bars(const picture &frame, const rectangle &area)
{
  const rectangle bars[] = {{0, 0, area.x, frame.height}, {area.x + area.width, 0, frame.width - area.x - area.width, frame.height},
                            {0, 0, frame.width, area.y}, {0, area.y + area.height, frame.width, frame.height - area.y - area.height}};
  for (const rectangle &bar : bars)
    for (unsigned char channel : crop(frame, bar).rgb)
      if (channel > BLACK_LEVEL)
        return false;
  return !frame.empty();
}
double view_difference(const picture &a, const picture &b) { return difference_above(a, b, STATUS_LINE_TOP); }
double scene_difference(const picture &a, const picture &b) { return difference_above(a, b, DEATH_LINE_TOP); }

// True when the view (above the status line) is mostly meadow green.
bool shows_grass(const picture &p)
{
  double red = 0, green = 0;
  for (size_t i = 0; i < std::min(p.rgb.size(), (size_t)p.width * STATUS_LINE_TOP * 3); i += 3)
    red += p.rgb[i], green += p.rgb[i + 1];
  return green > 1.3 * red;
}
bool shows_editor(const picture &s) { return pixels_in_rows(s, 0, s.height, cursor_yellow) >= 200; }

// A scenario's world: its data folder, the running game, the pictures it
// remembers by name ("last": the last one looked at), where it hears the
// game, and where on the screen it looks: the frame (the screen or a window
// at its top left) and in it the area of the game's picture, black around it.
struct play {
  std::string display = test_display();
  rectangle frame = {0, 0, 640, 480}, area = frame;
  picture (*grab)(const std::string &) = screenshot;  // reads the screen back
  scratch_folder data = make_data_folder(), sound_folder;
  std::string folder = data.path, capture = sound_folder.file("capture.raw");
  game_run run;
  std::map<std::string, picture> remembered;
  std::string program = pilko_binary;  // the game, or a copy of it that is heard
  std::vector<std::pair<std::string, std::string>> environment;
  std::string wrapper;  // shell words run before the game starts in the same process ("ulimit -f 97;")
  bool repeat_off = false;  // X's key repeat is off on the display while the scenario runs

  ~play()
  {
    stop_game(run);
    if (repeat_off)
      run_command("xset -display " + display + " r on");
  }
  // text with every '%' made the data folder's path.
  std::string in_folder(std::string text)
  {
    for (size_t at; (at = text.find('%')) != std::string::npos;)
      text.replace(at, 1, folder);
    return text;
  }
};

// One step: "" when it came true, else what went wrong.
typedef std::function<std::string(play &)> step;
typedef std::vector<step> steps;
struct scenario {
  const char *name;
  steps all;
};
steps operator+(steps a, const steps &b)
{
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// ---- Levels and files ------------------------------------------------------------

// A walled level of one kind with a drop far off, so that it stays in play, changed by edit.
test_map level(int kind = KIND_GRASS, void (*edit)(test_map &) = nullptr)
{
  test_map made = walled_level(kind);
  made.drop_marker[20][20] = DROP_MARKER_DROP;
  if (edit)
    edit(made);
  return made;
}
// A level completed at its first tick: its only drop lies on the start cell.
test_map won_at_once()
{
  test_map made;
  made.drop_marker[made.start_x][made.start_y] = DROP_MARKER_DROP;
  return made;
}
step map(int number, const test_map &made)
{
  std::string path = "/maps/map" + std::to_string(number) + ".map";
  return [=](play &p) { return write_file(p.folder + path, map_bytes(made)) ? "" : "no map"; };
}
// Runs a shell command in the data folder ('%' is its path); it comes to succeed within seconds.
step shell(const std::string &command, double seconds = 0)
{
  return [=](play &p) {
    auto done = [&] { return run_command("cd " + p.folder + " && " + p.in_folder(command)).status == 0; };
    for (int tenth = 0; tenth < seconds * 10 && !done(); tenth++)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return done() ? "" : command + " failed";
  };
}
// The data folder's parts (graphics, sound, music, fonts) as copies of the game's own, in place of the links.
step own_copies(const std::string &parts) { return shell("rm " + parts + " && cd " PILKO_DATA_DIR " && cp -r " + parts + " %"); }

// ---- Starting and ending -------------------------------------------------------------

// Starts the game with the arguments, in the folder ('%' in either is the data folder), on the
// scenario's display or, when display is NO_DISPLAY, with none at all.
constexpr bool NO_DISPLAY = false;
step start(std::vector<std::string> arguments = {}, bool display = true, std::string folder = "%")
{
  return [=](play &p) {
    game_options options{p.in_folder(folder), display ? p.display : "", "/usr/bin:/bin", p.program, p.environment, {}};
    if (!p.wrapper.empty())  // bash runs the words, then becomes the game: the same process
      options = {options.folder, options.display, options.path, "/bin/bash", options.environment,
                 {"-c", p.wrapper + " exec \"$0\" \"$@\"", p.program}};
    for (const std::string &argument : arguments)
      options.arguments.push_back(p.in_folder(argument));
    start_game(p.run, options);
    return "";
  };
}
step ends(int status, double seconds = 30)
{
  return [=](play &p) {
    return !wait_for_exit(p.run, seconds) ? "still running"
         : p.run.exit_status != status   ? "exit status " + std::to_string(p.run.exit_status) : "";
  };
}
step runs_on(double seconds) { return [=](play &p) { return wait_for_exit(p.run, seconds) ? "the game ended" : ""; }; }
step sends(int number) { return [=](play &p) { return kill(p.run.pid, number) == 0 ? "" : "no game to signal"; }; }

// ---- Keys ---------------------------------------------------------------------------------

step tap(const std::string &key, double seconds = 0.15) { return [=](play &p) { tap_key(p.display, key, seconds); return ""; }; }
step hold(const std::string &key) { return [=](play &p) { key_down(p.display, key); return ""; }; }
step release(const std::string &key) { return [=](play &p) { key_up(p.display, key); return ""; }; }
step wait(double seconds)
{
  return [=](play &) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); return ""; };
}
// Presses each key in turn, as an author does, the whole row so many times.
step taps(const std::vector<std::string> &keys, int times = 1)
{
  return [=](play &p) {
    for (int i = 0; i < times; i++)
      for (const std::string &key : keys)
        tap_key(p.display, key);
    return "";
  };
}
// X's key repeat off for the scenario: an author's keys are pressed once each,
// and a key that a loaded machine lets go of late must not press again.
std::string no_repeat(play &p)
{
  p.repeat_off = true;
  return run_command("xset -display " + p.display + " r off").status == 0 ? "" : "no xset";
}

// ---- Looking at the screen and the output -------------------------------------------------

// The game's picture on the screen, with black bars around it; empty when the bars are not black.
picture look(play &p, const picture &screen)
{
  picture framed = crop(screen, p.frame);
  return black_bars(framed, p.area) ? crop(framed, p.area) : picture{};
}
// The game's picture comes to pass the test, in time.
step comes(const std::function<bool(play &, const picture &)> &test, const std::string &what, double seconds = 20)
{
  return [=](play &p) {
    picture shot = wait_for_screen(p.display, [&](const picture &s) { return test(p, look(p, s)); }, seconds, p.grab);
    p.remembered["last"] = look(p, shot);
    return test(p, look(p, shot)) ? "" : "never " + what;
  };
}
// The picture comes to show the graphics file, as the game scales it, within the tolerance.
step shows(picture (*expected)(int width, int height), double seconds = 20)
{
  return comes([=](play &, const picture &s) {
    return picture_difference(s, expected(s.width, s.height)) <= (s.height == DESIGNED_HEIGHT ? PICTURE_TOLERANCE : SCALED_TOLERANCE);
  }, "the picture", seconds);
}
picture logo(int width, int height) { return data_picture("logo.tga", width, height); }
picture title(int width, int height) { return data_picture("title.tga", width, height); }
picture game_over(int, int) { return end_picture("gameover.tga", GAME_OVER_X, GAME_OVER_Y); }
picture complete(int, int) { return end_picture("complete.tga", CAMPAIGN_COMPLETE_X, CAMPAIGN_COMPLETE_Y); }
// Play on screen: lit, and not the title.
step playing()
{
  return comes([](play &, const picture &s) { return picture_difference(s, title(s.width, s.height)) > IN_GAME && lit_share(s) > 0.2; },
               "play");
}
step editing(bool shown = true)
{
  return comes([=](play &, const picture &s) { return shows_editor(s) == shown && lit_share(s) > 0.2; }, "the editor");
}
// Pixels of (designed) rows top..bottom of the colour, between least and most in the designed picture.
step letters(int top, int bottom, bool (*colour)(const unsigned char *), int least, int most = MANY, double seconds = 20)
{
  return comes([=](play &, const picture &s) {
    double n = pixels_in_rows(s, row(s, top), row(s, bottom), colour) * std::pow((double)DESIGNED_HEIGHT / std::max(s.height, 1), 2);
    return n >= least && n <= most;
  }, "the words", seconds);
}
// The view (or what compare measures) comes to differ from, or match again, the picture remembered as name.
step differs(const std::string &name, bool changed, double (*compare)(const picture &, const picture &) = view_difference)
{
  return comes([=](play &p, const picture &s) {
    double d = compare(s, p.remembered[name]);
    return changed ? d > CHANGED_SCREEN : d <= SAME_SCREEN;
  }, changed ? "a change" : "the same view again");
}
// Remembers the screen as name once three shots in a row are alike (exactly alike when exact).
step still(const std::string &name, bool exact = false)
{
  return [=](play &p) {
    picture last;
    int same = 0;
    wait_for_screen(p.display, [&](const picture &shot) {
      picture s = look(p, shot);
      same = (exact ? s.rgb == last.rgb : picture_difference(s, last) <= SAME_SCREEN) ? same + 1 : 0;
      last = s;
      return same == 2;
    }, 30, p.grab);
    p.remembered[name] = p.remembered["last"] = last;
    return same == 2 ? "" : "the screen never came to rest";
  };
}
step same_as(const std::string &name)
{
  return [=](play &p) { return look(p, p.grab(p.display)).rgb == p.remembered[name].rgb ? "" : "the screen moved"; };
}
// Saves the last picture looked at, as play-NAME.png, for a person to look at.
step save(const std::string &name) { return [=](play &p) { p.remembered["last"].save("play-" + name); return ""; }; }
// Holds the key, as a player walks, until the screen passes the test.
step hold_until(const std::string &key, bool (*test)(const picture &))
{
  return [=](play &p) {
    key_down(p.display, key);
    bool passed = test(wait_for_screen(p.display, test, 60));
    key_up(p.display, key);
    return passed ? "" : "the walk never ended";
  };
}

// The output comes to hold the text ('%': the data folder), so many times (-1: at least once).
step said(const std::string &text, int times = -1, double seconds = 20)
{
  return [=](play &p) {
    auto count = [&] {
      std::string out = game_output(p.run), wanted = p.in_folder(text);
      int n = 0;
      for (size_t at = out.find(wanted); at != std::string::npos; at = out.find(wanted, at + 1))
        n++;
      return n;
    };
    for (int tenth = 0; tenth < seconds * 10 && times < 0 && count() == 0; tenth++)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return (times < 0 ? count() > 0 : count() == times) ? "" : "output: " + game_output(p.run);
  };
}

// F12 held until a third picture is begun: the first two are whole, and they are the screen.
std::string screenshots_are_the_screen(play &p)
{
  key_down(p.display, "F12");
  for (int tries = 0; tries < 100 && access((p.folder + "/vgrab-002.tga").c_str(), F_OK) != 0; tries++)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  key_up(p.display, "F12");
  for (const char *name : {"vgrab-000.tga", "vgrab-001.tga"})
    if (difference_above(load_picture(p.folder + "/" + name), p.remembered["before"], DESIGNED_HEIGHT) > SAME_PICTURE)
      return std::string(name) + " is not the screen";
  return "";
}

// ---- Screens and windows ---------------------------------------------------------------------

// A server of the scenario's own (virtual-display start's options), read back
// as the player sees it, with the game's picture in the area of its screen.
step on(const std::string &server, const rectangle &area)
{
  return [=](play &p) {
    p.display = own_display(server);
    p.grab = desktop_screenshot;
    p.area = area;
    p.frame = {0, 0, 2 * area.x + area.width, 2 * area.y + area.height};
    return p.display.empty() ? "no server " + server : "";
  };
}
// What xdotool does to the game's window (the visible one of the two Allegro makes).
std::string on_game_window(play &p, const std::string &action)
{
  return run_command("DISPLAY=" + p.display + " xdotool search --sync --onlyvisible --class pilko " + action).output;
}
// The window opens at this size, the picture filling it.
step window_opens(int width, int height)
{
  return [=](play &p) {
    p.frame = p.area = {0, 0, width, height};
    std::string size = std::to_string(width) + "x" + std::to_string(height);
    return on_game_window(p, "getwindowgeometry").find("Geometry: " + size) != std::string::npos ? "" : "not " + size;
  };
}
// The window made this size (as a window manager may), the picture then in the area.
step resized(int width, int height, const rectangle &area)
{
  return [=](play &p) {
    on_game_window(p, "windowsize " + std::to_string(width) + " " + std::to_string(height));
    run_command("DISPLAY=" + p.display + " xdotool mousemove 10 10");  // keys go under the pointer: no window manager
    p.frame = {0, 0, width, height};
    p.area = area;
    return "";
  };
}
// The hero as round, and as large in the picture, as the designed mode draws it (the
// blue of its skin in the middle half): the framing is the designed one.
std::string hero_in_proportion(play &p)
{
  const picture &s = p.remembered["last"];
  int left = s.width, right = -1, top = s.height, bottom = -1;
  for (int y = s.height / 4; y < s.height * 3 / 4; y++)
    for (int x = s.width / 4; x < s.width * 3 / 4; x++) {
      const unsigned char *rgb = &s.rgb[((size_t)y * s.width + x) * 3];
      if (rgb[2] > 90 && rgb[2] > rgb[0] + 50 && rgb[2] > rgb[1] + 30)
        left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
    }
  double aspect = (right - left + 1.0) / (bottom - top + 1.0), share = (bottom - top + 1.0) / std::max(s.height, 1);
  return std::fabs(aspect - 1.10) <= 0.04 && share >= 0.14 && share <= 0.17
             ? "" : "a hero " + std::to_string(aspect) + " wide to high, " + std::to_string(share) + " of the picture";
}
// The full screen on a screen a player may have: the 4:3 picture in the area, as in the designed
// mode, through play, F12 and the pause; the game says how it fills the screen.
steps full_screen(const std::string &name, const std::string &server, const rectangle &area, const std::string &note)
{
  return steps{map(1, level(KIND_GRASS, [](test_map &m) { m.drop_marker[20][20] = 1, m.drop_marker[1][1] = DROP_MARKER_DROP; }))} +
         (server.empty() ? steps{} : steps{on(server, area)}) +
         steps{start(), shows(logo), save(name + "-logo"), tap("a"), shows(title), tap("space"), playing(),
               still("before", true), save(name + "-game"), hero_in_proportion, screenshots_are_the_screen, tap("p"),
               letters(PAUSED_TOP, PAUSED_BOTTOM, golden, 500), save(name + "-paused"), tap("Escape"), shows(title),
               tap("Escape"), ends(0), said(note)};
}

// ---- The longer steps -------------------------------------------------------------------------

// Starts the game, passes the logo with a key and starts a game with SPACE.
steps entered(std::vector<std::string> arguments = {})
{
  return {start(arguments), shows(logo), tap("a"), shows(title), tap("space"), playing()};
}

// The game's window carries the class its menu entry names and the icon maker's 48-pixel icon.
std::string window_class_and_icon(play &p)
{
  std::string tree = run_command("DISPLAY=" + p.display + " xwininfo -root -children").output;
  size_t at = tree.find("\n     0x");
  std::string xprop = "DISPLAY=" + p.display + " xprop -id " + tree.substr(at + 6, tree.find(' ', at + 6) - at - 6);
  if (at == std::string::npos || run_command(xprop + " WM_CLASS").output != "WM_CLASS(STRING) = \"pilko\", \"pilko\"\n" ||
      file_text(PILKO_SOURCE_DIR "/dist/pilko.desktop").find("\nStartupWMClass=pilko\n") == std::string::npos)
    return "not the class pilko";
  std::string hints = run_command(xprop + " WM_HINTS").output;
  size_t icon_at = hints.find("bitmap id # to use for icon: ");
  Display *x = XOpenDisplay(p.display.c_str());
  Pixmap icon = icon_at == std::string::npos ? 0 : std::stoul(hints.substr(icon_at + 29), nullptr, 16);
  Window root;
  int left, top;
  unsigned width = 0, height = 0, border, depth;
  bool sized = x && icon && XGetGeometry(x, icon, &root, &left, &top, &width, &height, &border, &depth) && width == 48 && height == 48;
  XImage *image = sized ? XGetImage(x, icon, 0, 0, 48, 48, AllPlanes, ZPixmap) : nullptr;
  // The middle half of the icon, where it is solid and no background shows.
  picture drawn = load_picture(PILKO_ICON_DIR "/48x48/apps/pilko.png");
  double difference = 0;
  for (int y = 12; image && y < 36; y++)
    for (int px = 12; px < 36; px++)
      for (int channel = 0; channel < 3; channel++)
        difference += std::abs((int)(XGetPixel(image, px, y) >> (16 - 8 * channel) & 0xFF) - drawn.rgb[(y * 48 + px) * 3 + channel]);
  if (image)
    XDestroyImage(image);
  if (x)
    XCloseDisplay(x);
  return image && difference / (24 * 24 * 3) <= 2.0 ? "" : "not the icon maker's icon";
}

// The game heard: a copy beside the build's patch index, its music played
// through the digital driver, ALSA's default device writing into a file.
std::string hearing(play &p)
{
  std::string bin = p.sound_folder.file("bin");
  p.program = bin + "/pilko";
  p.environment = {{"ALSA_CONFIG_PATH", write_capture_config(p.sound_folder.path, p.capture)}};
  bool copied = run_command("mkdir " + bin + " && cp " + pilko_binary + " " + pilko_data_dir + "/../default.cfg " + bin).status == 0;
  return copied && write_file(bin + "/allegro.cfg", std::string("[sound]\nmidi_card = DIGI\nalsa_fragsize = 441\n")) ? "" : "no copy";
}
// SPACE in play, with the music and every other sound gone: a silence, then the jump's sample.
std::string jump_heard(play &p)
{
  bool silent = !sound_heard(p.capture, frames_in(p.capture), 1.5);
  long press = frames_in(p.capture);
  tap_key(p.display, "space", 0.3);
  return silent && sound_heard(p.capture, press, 1.0) ? "" : silent ? "no jump heard" : "a sound before the jump";
}

const scenario scenarios[] = {
    // ---- The flow from logo to title to a game and back ----
    {"LogoTitleGameTitleQuit",  // with no sound card: at most one line of output
     {map(1, level()), start(), shows(logo), save("logo"), window_class_and_icon, tap("a"), shows(title), save("title"),
      said("ALSA", 0), said("\n", 1), tap("Return"), tap("Up"), wait(0.8), shows(title), runs_on(0.1), tap("space"),
      playing(), save("game"), hold("Escape"), wait(1.5), release("Escape"), shows(title), runs_on(1.0),  // past the repeat
      tap("Escape"), ends(0)}},
    // No display, no maps folder, no font, no OpenGL driver (and no xmessage: the message goes to
    // the output): each one line, and status 1.
    {"StartUpFailuresSaySo",
     {map(1, level()), start({}, NO_DISPLAY), ends(1), said("cannot open a display"), start({}, true, "/"), ends(1),
      said("cannot find maps/map1.map in /;"), [](play &p) {
        p.environment = {{"LIBGL_DRIVERS_PATH", p.sound_folder.path}, {"PATH", "/nonexistent"}};
        return "";
      }, start(), ends(1, 60), said("Error setting graphics mode:\n"), shell("rm graphics"), start(), ends(1), said("tolvane.emf")}},
    // ---- Faults: quit signals end the game as ESC does, a lost server in one line, damaged files named ----
    {"QuitSignalsEndTheGameAsEscDoes",
     steps{map(1, level()), start(), shows(logo), sends(SIGTERM), ends(0, 60), said("Shutting down", 0), start(), shows(logo),
           tap("a"), shows(title), sends(SIGINT), ends(0, 60), said("Shutting down", 0)} +
         entered() + steps{sends(SIGTERM), ends(0, 60)} + entered() + steps{sends(SIGHUP), ends(0, 60)}},
    // A server of the scenario's own, stopped under the game in play: one line, and the game ends.
    {"LostDisplayInPlay",
     steps{map(1, level()), on("--size 640x480", {0, 0, 640, 480})} + entered() +
         steps{[](play &p) { run_command(VIRTUAL_DISPLAY " stop " + p.display); return ""; }, ends(1, 60),
               said("pilko: lost the connection to the X server\n", 1)}},
    // A folder as map 1, then map 1 gone, then a cut map 2 after it: each named, and the title stays.
    {"UnreadableMapsAreNamedAndTheTitleStays",
     {shell("mkdir maps/map1.map"), start(), shows(logo), tap("a"), shows(title), tap("space"),
      said("pilko: cannot read maps/map1.map: a folder, not a file; no game to play\n"), shows(title),
      shell("rmdir maps/map1.map"), tap("space"), said("pilko: cannot find maps/map1.map"), wait(1.5), shows(title),
      map(1, won_at_once()), shell("head -c 100 maps/map1.map > maps/map2.map"), tap("space"),
      said("pilko: cannot read maps/map2.map: too short: 100 bytes of at least 7512; back to the title\n"), shows(title),
      tap("Escape"), ends(0)}},
    // A colour-mapped logo, an 8-bit texture, music of 0 ticks a quarter and a sound of no frames
    // (the files that crashed or hung the game in Allegro's loaders and player), and FIFOs (files
    // that never end) in place of a sound and the pause's font: each left out, and play goes on.
    {"CraftedFilesAndFifosSkippedPlayGoesOn",
     {map(1, level()), own_copies("graphics music sound fonts"),
      shell("printf '\\0\\1\\1\\0\\0\\377\\377\\30' | dd of=graphics/logo.tga conv=notrunc 2>/dev/null && "
            "printf '\\10\\0\\1' | dd of=graphics/gras.bmp bs=1 seek=28 conv=notrunc 2>/dev/null && "
            "printf '\\0\\0' | dd of=music/kez.mid bs=1 seek=12 conv=notrunc 2>/dev/null && truncate -s 44 sound/jump.wav && "
            "printf '\\44\\0\\0\\0' | dd of=sound/jump.wav bs=1 seek=4 conv=notrunc 2>/dev/null && "
            "printf '\\0\\0\\0\\0' | dd of=sound/jump.wav bs=1 seek=40 conv=notrunc 2>/dev/null && "
            "rm sound/land.wav fonts/sans.glf && mkfifo sound/land.wav fonts/sans.glf"),
      start(), said("kez.mid"), tap("a"), shows(title), tap("space"), playing(), save("crafted-texture"), tap("space"),
      said("logo.tga", 1), said("gras.bmp", 1), said("kez.mid", 1), said("jump.wav", 1), said("land.wav", 1),
      said("sans.glf", 1), tap("Escape"), shows(title), sends(SIGTERM), ends(0, 60)}},
    // pilko 2>&1 | head -n 0: every line the game prints (a missing sound's warning) meets a closed pipe.
    {"ClosedOutputCostsNothing",
     {map(1, won_at_once()), own_copies("sound"), shell("rm sound/land.wav"),
      [](play &p) { p.wrapper = "exec > >(head -n 0) 2>&1;"; return ""; }, start(), shows(logo), tap("a"), shows(title),
      sends(SIGTERM), ends(0, 60)}},
    // A file size limit (a full disk in small) in the way of F12: one warning, no file left, play goes on.
    {"FileSizeLimitCostsAScreenshotNotTheGame",
     steps{map(1, level()), [](play &p) { p.wrapper = "ulimit -f 97;"; return ""; }} + entered() +
         steps{tap("F12"), tap("Up", 0.3), tap("Escape"), shows(title), tap("Escape"), ends(0),
               said("pilko: warning: cannot save a screenshot here: File too large\n", 1),
               shell("test \"$(ls -A | tr '\\n' ' ')\" = 'fonts graphics maps music sound '")}},
    // No OpenGL mode at all (indirect rendering, which the X server refuses): a quit signal ends
    // the wait of Allegro's message box for its click, and the box.
    {"QuitSignalEndsTheRefusedModeMessage",
     {map(1, won_at_once()), [](play &p) { p.environment = {{"LIBGL_ALWAYS_INDIRECT", "1"}}; return ""; }, start(),
      [](play &p) { return shell("DISPLAY=" + p.display + " xdotool search --class Xmessage", 30)(p); }, sends(SIGTERM), ends(1, 10),
      [](play &p) { return shell("! DISPLAY=" + p.display + " xdotool search --class Xmessage", 10)(p); }}},
    // Outside files named on the command line, and bytes a terminal would act on in names and in a
    // replay's header: refused before any window, in one line that quotes what it echoes.
    {"OutsideFilesRefusedInOneQuotedLine",
     {shell("mkdir replays stray && ln -s /dev/zero zero.level && truncate -s 2M big.level && echo x > stray/maps && "
            "printf '# pilko recording: level big.level\\n1 UP\\n' > big.keys && "
            "printf '# pilko recording: level \\033]0;owned\\007\\033[2J.map\\n1 UP\\n' > evil.keys"),
      start({"--replay", "replays"}, NO_DISPLAY), ends(1), said("pilko: replays: a folder, not a file\n", 1),
      start({"--level", "zero.level"}, NO_DISPLAY), ends(1), said("pilko: zero.level: not a regular file\n", 1),
      start({"--level", "big.level"}, NO_DISPLAY), ends(1), said("pilko: big.level: longer than 1 MB: not a level text\n", 1),
      start({"--replay", "big.keys"}, NO_DISPLAY), ends(1), said("pilko: big.level: longer than 1 MB: not a level text\n", 1),
      start({"--replay", "evil.keys"}, NO_DISPLAY), ends(1),
      said("pilko: \\x1b]0;owned\\x07\\x1b[2J.map: not a map pilko can read: No such file or directory\n", 1), said("\x1b", 0),
      start({"--record", "gone/\x1b]0;owned\x07\x1b[2J"}, NO_DISPLAY), ends(1),
      said("pilko: gone/\\x1b]0;owned\\x07\\x1b[2J: cannot write: No such file or directory\n", 1), said("\x1b", 0),
      start({"\x1b]0;owned\x07\x1b[2J"}, NO_DISPLAY), ends(2), said("pilko: unknown option '\\x1b]0;owned\\x07\\x1b[2J'\n", 1),
      said("\x1b", 0), start({}, NO_DISPLAY, "%/stray"), ends(1),
      said("pilko: cannot find maps/map1.map in %/stray; maps there is a file, not a folder: move it away\n", 1)}},
    // ---- Play ----
    {"TabEndSkipsToTheCampaignCompletePicture",
     steps{map(1, level(KIND_GRASS)), map(2, level(KIND_STONE_FLOOR)), map(3, level(KIND_METAL))} + entered() +
         steps{still("1"), tap("Tab+End", 0.2), differs("1", true), still("2"), tap("Tab+End", 0.2),
               differs("2", true), still("3"), tap("Tab+End", 0.2), shows(complete, 30), save("complete"),
               tap("a"), shows(title)}},
    // Each landing on the start cell kills; SPACE held on neither leaves the game-over picture nor
    // starts a game at the title once a key has left it.
    {"ThreeDeathsEndTheGame",
     steps{map(1, level(KIND_STONE_FLOOR, [](test_map &m) { m.kind[2][2] = KIND_LAVA; }))} + entered() +
         steps{still("dead"), save("death-line"), letters(DEATH_LINE_TOP, DEATH_LINE_BOTTOM, white, 300), tap("space"),
               differs("dead", true, scene_difference), differs("dead", false, scene_difference), tap("space"),
               differs("dead", true, scene_difference), differs("dead", false, scene_difference), save("last-life"),
               hold("space"), shows(game_over), wait(1.5), shows(game_over, 0), tap("a"), shows(title), wait(1.5),
               shows(title, 0), release("space")}},
    {"JumpHeard",
     {map(1, level()), hearing, own_copies("music sound"), shell("rm music/kez.mid && find sound -type f ! -name jump.wav -delete"),
      start(), shows(logo), tap("a"), shows(title), tap("space"), playing(), jump_heard}},
    // ---- The player's options and keys; an enemy in view keeps the world moving ----
    {"PauseFreezesUnderTheWordPGoesOnEscEnds",
     steps{map(1, level(KIND_GRASS, [](test_map &m) { m.enemies = {{2, 4, TOWARD_PLUS_X}}; }))} + entered() +
         steps{tap("p"), still("paused", true), save("paused"), letters(PAUSED_TOP, PAUSED_BOTTOM, golden, 500), hold("Up"),
               wait(1.0), release("Up"), same_as("paused"), tap("p"), differs("paused", true),
               letters(PAUSED_TOP, PAUSED_BOTTOM, golden, 0, 99), tap("p"), still("paused again", true), tap("Escape"),
               shows(title)}},
    {"BannerNamesEachLevelThenFades",
     steps{map(1, level(KIND_GRASS)), map(2, level(KIND_STONE_FLOOR)),
           shell("printf '# names\\n1 Green Start\\n  g grass 0\\n2 Stone Maze Of Doom\\n' > maps/levels.txt")} +
         entered() +
         steps{letters(NAME_TOP, NAME_BOTTOM, golden, 500, MANY, 5), save("banner-1"),
               [](play &p) { p.remembered["name 1"] = p.remembered["last"]; return ""; }, tap("Tab+End", 0.2),
               comes([](play &p, const picture &s) {
                 return !shows_grass(s) && pixels_in_rows(s, NAME_TOP, NAME_BOTTOM, golden) >
                                               1.3 * pixels_in_rows(p.remembered["name 1"], NAME_TOP, NAME_BOTTOM, golden);
               }, "level 2's longer name", 30),
               save("banner-2"), letters(NAME_TOP, NAME_BOTTOM, golden, 0, 99, 30)}},
    // Into the lava behind the hero, a revival, on to the drop ahead and level 2: pilko-sim
    // replays every event; the replay (no key needed) ends on the very picture.
    {"RecordingReplaysToTheSameScreen",
     steps{map(1, level(KIND_GRASS, [](test_map &m) { m.kind[1][2] = KIND_LAVA, m.drop_marker[20][20] = 1, m.drop_marker[4][2] = 0; })),
           map(2, level(KIND_STONE_FLOOR))} +
         entered({"--record", "run.keys"}) +
         steps{hold("Down"), wait(1.5), release("Down"), tap("space"), wait(1.0), hold("Up"), wait(2.0), release("Up"),
               comes([](play &, const picture &s) { return lit_share(s) > 0.2 && !shows_grass(s); }, "level 2", 30),
               tap("Left", 0.4), tap("p"), still("recorded", true), save("recorded"), tap("Escape"), shows(title),
               tap("Escape"), ends(0),
               shell(PILKO_SIM " --events maps/map1.map run.keys > events && grep -q ' death ' events && grep -q ' revival ' events"
                     " && grep -q ' jump' events && grep -q ' drop ' events && grep -q ' complete' events && grep -q ' level-end' events"),
               start({"--replay", "run.keys"}),
               comes([](play &p, const picture &s) { return s.rgb == p.remembered["recorded"].rgb; }, "the recorded end", 60),
               tap("Escape"), shows(title), runs_on(1.0)}},
    // ---- The screens players have, and windows of any size ----
    {"ScreenDesigned640x480", full_screen("designed", "", {0, 0, 640, 480}, "")},
    {"ScreenXorgWithout640x480", full_screen("xorg-1080", "--size 1920x1080", {240, 0, 1440, 1080},
                                             "the screen has no 640 x 480 mode; playing full screen at 1920 x 1080")},
    {"ScreenXvfbWithoutModeSwitching", full_screen("xvfb-1080", "--xvfb --size 1920x1080", {240, 0, 1440, 1080},
                                                   "the X server cannot switch to 640 x 480; playing full screen at 1920 x 1080")},
    {"ScreenWaylandDesktop", full_screen("wayland", "--weston --size 1920x1080", {240, 0, 1440, 1080},
                                         "a Wayland desktop would stretch a 640 x 480 mode; playing full screen at 1920 x 1080")},
    // 1920 x 1080 holds 640 x 480 twice each way; a window made 1000 x 500 shows it 666 wide, centred.
    // Then a window of a given size, made taller than wide.
    {"WindowLargestMultipleOrGivenSizeFollowsItsSize",
     {map(1, level()), on("--size 1920x1080", {0, 0, 1920, 1080}), start({"--window"}), window_opens(1280, 960), shows(logo),
      resized(1000, 500, {167, 0, 666, 500}), shows(logo), tap("space"), shows(title), tap("Escape"), ends(0), start({"-s", "800x600"}),
      window_opens(800, 600), shows(logo), resized(600, 900, {0, 225, 600, 450}), shows(logo), sends(SIGTERM), ends(0, 60)}},
    // ---- The editor ----
    // From the new walled room: a step, a second drop, a lava strip beside the way, an enemy and a
    // name; a play-test that walks over both drops; saved with its solution, proven, and played
    // alone under its name, its end the title's.
    {"EditorBuildsPlayTestsAndSavesAVerifiedLevel",
     {map(1, level()), no_repeat, start({"--edit", "%/ramp.level"}), editing(),
      taps({"Up", "Up", "Right", "shift+Left", "shift+Left"}),  // (5, 11) to (5, 13)
      taps({"Prior"}, 3), taps({"Right"}), taps({"Up"}, 5),      // a step of 0.3; then to (10, 12)
      taps({"d"}), taps({"Left"}, 5), taps({"shift+Down"}, 4),   // the second drop; (6, 17) to (10, 17)
      taps({"k"}, 4), taps({"Left"}, 3), taps({"e"}),            // lava; an enemy on (6, 20), walking +x
      taps({"n", "BackSpace", "BackSpace", "BackSpace", "BackSpace", "r", "a", "m", "p", "Return"}), editing(),
      save("editor-built"), taps({"h"}), editing(false), save("editor-help"), taps({"h", "p"}), editing(false),
      hold_until("Up", shows_editor), taps({"ctrl+s"}),
      comes([](play &p, const picture &) { return access((p.folder + "/ramp.solution").c_str(), F_OK) == 0; }, "the solution", 10),
      shell("grep -q '^name ramp$' ramp.level && grep -q lava ramp.level && grep -q '^enemy 6 20 +x$' ramp.level"),
      shell("cp ramp.level saved.level"), taps({"d", "Escape"}), editing(false), taps({"y"}), ends(0),
      shell("cmp ramp.level saved.level"),  // the change left unsaved was not written
      shell(LEVEL_COMPILER " verify --strict ramp.level | grep -q 'ramp.level: ok: 2 drops in '"),
      start({"--level", "ramp.level"}), shows(logo), tap("a"), shows(title), tap("space"), playing(),
      letters(NAME_TOP, NAME_BOTTOM, golden, 500, MANY, 5), save("ramp-banner"),
      hold_until("Up", [](const picture &s) { return picture_difference(s, title(640, 480)) <= PICTURE_TOLERANCE; })}},
    // A quit signal cannot ask whether to drop the changes: they are kept beside the file.
    {"EditorKeepsAnUnsavedLevelOnAQuitSignal",
     {map(1, level()), no_repeat, start({"--edit", "%/signal.level"}), editing(), taps({"Up", "d"}), sends(SIGTERM), ends(0),
      said("pilko: quit with the level unsaved: it is kept in %/signal.level.unsaved\n"), shell("test ! -e signal.level"),
      shell("test $(grep -o '[.]\\*' signal.level.unsaved | wc -l) = 2")}},
};

class Play : public ::testing::TestWithParam<scenario> {};
void PrintTo(const scenario &s, std::ostream *out) { *out << s.name; }

TEST_P(Play, Scenario)
{
  play p;
  for (size_t i = 0; i < GetParam().all.size(); i++)
    ASSERT_EQ(GetParam().all[i](p), "") << GetParam().name << ", step " << i + 1 << "\n" << game_output(p.run);
}

INSTANTIATE_TEST_SUITE_P(Game, Play, ::testing::ValuesIn(scenarios),
                         [](const ::testing::TestParamInfo<scenario> &info) { return std::string(info.param.name); });

}  // namespace
