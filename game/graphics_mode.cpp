// The game's OpenGL screen. The designed full-screen 640 x 480 mode comes
// first. Where the screen has no such mode, AllegroGL takes the desktop's
// mode instead (found by reading the screen's size back): the picture is then
// drawn 4:3 in the middle of it. Where there is no mode switching at all
// (Xvfb), and on a Wayland desktop, whose X server fakes the switch by
// stretching a 640 x 480 picture over the whole monitor, the game opens a
// window of the desktop's size and asks the window manager to show it full
// screen (_NET_WM_STATE_FULLSCREEN). That route was chosen over AllegroGL's
// full-screen driver at the desktop's size because it needs no mode
// switching, which Xvfb lacks, and because under a Wayland compositor that
// driver's window stays black beneath the desktop's panel, while a
// full-screen request is honoured there as under any X window manager.
// Without a window manager the request goes unanswered, and the window, as
// large as the screen at its top left corner, covers it all the same.
#include "game/graphics_mode.h"
#include "render/render.h"
#include "world/world.h"

#include <alleggl.h>
#include <xalleg.h>
#include <X11/extensions/Xrandr.h>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace {

// What the outputs of a Wayland desktop's X server (Xwayland) are called.
constexpr char WAYLAND_OUTPUT_PREFIX[] = "XWAYLAND";
// _NET_WM_STATE's message: add the state, asked for by an application.
constexpr long NET_WM_STATE_ADD = 1;
constexpr long SOURCE_APPLICATION = 1;

screen_route route_taken = ROUTE_DESIGNED;
// The window's size that picture_area was last fitted to.
int fitted_width = 0, fitted_height = 0;

// Asks AllegroGL for a width x height mode on driver at colour depths 16,
// 24, 32 and 15 in turn, with a 16-bit depth buffer and double buffering;
// false when none works, with Allegro's reason in allegro_error.
bool enter_graphics_mode(int driver, int width, int height)
{
  request_first_mode();
  if (set_gfx_mode(driver, width, height, 0, 0) >= 0)
    return true;
  for (int depth : {24, 32, 15}) {
    request_mode_depth(depth);
    if (set_gfx_mode(driver, width, height, 0, 0) >= 0)
      return true;
  }
  return false;
}

// The desktop's size: its root window's.
void desktop_size(int *width, int *height)
{
  XLOCK();
  *width = DisplayWidth(_xwin.display, DefaultScreen(_xwin.display));
  *height = DisplayHeight(_xwin.display, DefaultScreen(_xwin.display));
  XUNLOCK();
}

// True on a Wayland desktop's X server, known by the names of its outputs.
bool on_wayland_desktop()
{
  XLOCK();
  Display *display = _xwin.display;
  int event_base = 0, error_base = 0;
  bool wayland = false;
  if (XRRQueryExtension(display, &event_base, &error_base)) {
    XRRScreenResources *resources =
        XRRGetScreenResourcesCurrent(display, RootWindow(display, DefaultScreen(display)));
    for (int i = 0; resources && i < resources->noutput && !wayland; i++) {
      XRROutputInfo *output = XRRGetOutputInfo(display, resources, resources->outputs[i]);
      wayland = output && std::strncmp(output->name, WAYLAND_OUTPUT_PREFIX,
                                       sizeof WAYLAND_OUTPUT_PREFIX - 1) == 0;
      if (output)
        XRRFreeOutputInfo(output);
    }
    if (resources)
      XRRFreeScreenResources(resources);
  }
  XUNLOCK();
  return wayland;
}

// Asks the window manager to show the game's window full screen.
void ask_for_full_screen()
{
  XLOCK();
  Display *display = _xwin.display;
  XEvent request;
  std::memset(&request, 0, sizeof request);
  request.xclient.type = ClientMessage;
  request.xclient.window = _xwin.window;
  request.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
  request.xclient.format = 32;
  request.xclient.data.l[0] = NET_WM_STATE_ADD;
  request.xclient.data.l[1] = (long)XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
  request.xclient.data.l[3] = SOURCE_APPLICATION;
  XSendEvent(display, RootWindow(display, DefaultScreen(display)), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &request);
  XFlush(display);
  XUNLOCK();
}

// Lets the window manager resize the window, whose size Allegro fixes.
void allow_resizing()
{
  XSizeHints *hints = XAllocSizeHints();
  if (!hints)
    return;
  hints->flags = PMinSize;
  hints->min_width = SMALLEST_WINDOW_WIDTH;
  hints->min_height = SMALLEST_WINDOW_HEIGHT;
  XLOCK();
  XSetWMNormalHints(_xwin.display, _xwin.window, hints);
  XFlush(_xwin.display);
  XUNLOCK();
  XFree(hints);
}

// Says why the full screen is not the designed mode, and what it is instead
// (the player then knows that the picture was not a mistake), and takes the
// desktop's route.
void take_desktop_route(const char *why, int width, int height)
{
  std::fprintf(stderr, "pilko: %s; playing full screen at %d x %d\n", why, width, height);
  route_taken = ROUTE_DESKTOP;
}

// A full screen at the desktop's size, for the reason why: a window as large
// as the desktop, shown full screen by the window manager, which may size it
// to the one monitor it covers.
bool open_desktop_window(const char *why, int width, int height)
{
  if (!enter_graphics_mode(GFX_OPENGL_WINDOWED, width, height))
    return false;
  allow_resizing();
  ask_for_full_screen();
  take_desktop_route(why, width, height);
  return true;
}

}  // namespace

void request_first_mode()
{
  allegro_gl_clear_settings();
  allegro_gl_set(AGL_COLOR_DEPTH, 16);
  allegro_gl_set(AGL_Z_DEPTH, 16);
  allegro_gl_set(AGL_DOUBLEBUFFER, 1);
  allegro_gl_set(AGL_RENDERMETHOD, 1);
  allegro_gl_set(AGL_SUGGEST, AGL_Z_DEPTH | AGL_DOUBLEBUFFER | AGL_RENDERMETHOD);
  set_color_depth(16);
}

void request_mode_depth(int depth)
{
  set_color_depth(depth);
  allegro_gl_set(AGL_COLOR_DEPTH, depth);
  allegro_gl_set(AGL_SUGGEST, AGL_Z_DEPTH | AGL_DOUBLEBUFFER);
}

bool open_screen(const screen_request &request)
{
  int desktop_width = 0, desktop_height = 0;
  desktop_size(&desktop_width, &desktop_height);
  if (request.window) {
    int width = request.width, height = request.height;
    if (width == 0 || height == 0) {
      int multiple = largest_picture_multiple(desktop_width, desktop_height);
      width = multiple * screen_width;
      height = multiple * screen_height;
    }
    if (!enter_graphics_mode(GFX_OPENGL_WINDOWED, width, height))
      return false;
    allow_resizing();
    route_taken = ROUTE_WINDOW;
  } else if (on_wayland_desktop()) {
    if (!open_desktop_window("a Wayland desktop would stretch a 640 x 480 mode", desktop_width, desktop_height))
      return false;
  } else if (enter_graphics_mode(GFX_OPENGL_FULLSCREEN, screen_width, screen_height)) {
    if (SCREEN_W == screen_width && SCREEN_H == screen_height) {
      route_taken = ROUTE_DESIGNED;
      return true;
    }
    take_desktop_route("the screen has no 640 x 480 mode", SCREEN_W, SCREEN_H);
  } else if (!open_desktop_window("the X server cannot switch to 640 x 480", desktop_width, desktop_height)) {
    return false;
  }
  follow_window_size();
  return true;
}

screen_route screen_route_taken()
{
  return route_taken;
}

bool follow_window_size()
{
  if (route_taken == ROUTE_DESIGNED)
    return false;
  XWindowAttributes attributes;
  XLOCK();
  Status known = XGetWindowAttributes(_xwin.display, _xwin.window, &attributes);
  XUNLOCK();
  if (!known || (attributes.width == fitted_width && attributes.height == fitted_height))
    return false;
  fitted_width = attributes.width;
  fitted_height = attributes.height;
  picture_area = fit_picture_area(fitted_width, fitted_height);
  return true;
}
