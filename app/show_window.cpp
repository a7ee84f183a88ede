// show_window.cpp: the window, the monitor it covers, and full screen through
// the window manager or, on a bare X session, by placing the window.
#include "app/show_window.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cstdio>
#include <cstring>
#include <span>

#include "app/window_identity.h"
#include "offscreen/picture_framebuffer.h"

namespace {

constexpr const char* window_title = "quorvan";

struct monitor_area {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// What start-up learnt of the desktop; it does not change during the show.
struct {
  monitor_area monitor;
  bool window_manager_full_screen = false;
} desktop;

// The display name the toolkit will open: "-display NAME" on the command line wins.
const char* display_name_of(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "-display") == 0) return argv[i + 1];
  return nullptr;  // Xlib then reads DISPLAY
}

// The window ids or atoms a property of the window holds (none if it has none).
template <typename item>
void for_each_in_property(Display* display, Window window, const char* name, Atom type, auto&& visit) {
  const Atom property = XInternAtom(display, name, True);
  if (property == None) return;
  Atom actual_type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long bytes_after = 0;
  unsigned char* data = nullptr;
  constexpr long max_items = 1024;
  if (XGetWindowProperty(display, window, property, 0, max_items, False, type, &actual_type, &format, &count,
                         &bytes_after, &data) != Success)
    return;
  if (data != nullptr && actual_type == type && format == 32) {
    // Xlib hands 32-bit properties over as longs.
    for (const long value : std::span(reinterpret_cast<const long*>(data), count)) visit(item(value));
  }
  if (data != nullptr) XFree(data);
}

// Whether a window manager runs that follows the desktop conventions (EWMH)
// and makes windows full screen when asked. Its check window must name itself,
// or the root's note is left over from one that has gone.
bool window_manager_makes_full_screen(Display* display) {
  const Window root = DefaultRootWindow(display);
  Window manager = None;
  for_each_in_property<Window>(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW,
                               [&](Window found) { manager = found; });
  if (manager == None) return false;
  Window named = None;
  for_each_in_property<Window>(display, manager, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW,
                               [&](Window found) { named = found; });
  if (named != manager) return false;
  const Atom full_screen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", True);
  bool offered = false;
  for_each_in_property<Atom>(display, root, "_NET_SUPPORTED", XA_ATOM,
                             [&](Atom found) { offered = offered || found == full_screen; });
  return offered && full_screen != None;
}

// The primary monitor (else the first) as RandR 1.5 lists it; the whole
// screen where RandR lists none.
monitor_area primary_monitor(Display* display) {
  const int screen = DefaultScreen(display);
  monitor_area area{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
  int event_base = 0;
  int error_base = 0;
  int major = 0;
  int minor = 0;
  if (!XRRQueryExtension(display, &event_base, &error_base) || !XRRQueryVersion(display, &major, &minor) ||
      major * 100 + minor < 105)
    return area;
  int count = 0;
  XRRMonitorInfo* monitors = XRRGetMonitors(display, RootWindow(display, screen), True, &count);
  if (monitors == nullptr) return area;
  const XRRMonitorInfo* chosen = count > 0 ? &monitors[0] : nullptr;
  for (int i = 0; i < count; ++i)
    if (monitors[i].primary) chosen = &monitors[i];
  if (chosen != nullptr) area = {chosen->x, chosen->y, chosen->width, chosen->height};
  XRRFreeMonitors(monitors);
  return area;
}

}  // namespace

bool look_at_desktop(int argc, char** argv) {
  const char* name = display_name_of(argc, argv);
  Display* display = XOpenDisplay(name);
  if (display == nullptr) {
    std::fprintf(stderr, "quorvan: cannot open the X display \"%s\"; start it from a desktop session\n",
                 XDisplayName(name));
    return false;
  }
  desktop.monitor = primary_monitor(display);
  desktop.window_manager_full_screen = window_manager_makes_full_screen(display);
  XCloseDisplay(display);
  return true;
}

namespace {

// With no window manager nobody hands the window the keyboard, and another
// program may have left the focus nowhere. Once the window is on screen the
// show takes the focus itself, so its keys work; it goes back to the pointer
// when the show's window goes.
void take_keyboard_focus_when_shown(int status) {
  if (desktop.window_manager_full_screen || status == GLUT_HIDDEN) return;
  Display* display = glXGetCurrentDisplay();
  const GLXDrawable window = glXGetCurrentDrawable();
  if (display == nullptr || window == None) return;
  XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
  XFlush(display);
}

}  // namespace

void open_show_window() {
  glutInitWindowPosition(desktop.monitor.x, desktop.monitor.y);
  glutInitWindowSize(picture_width, picture_height);
  glutCreateWindow(window_title);
  glutWindowStatusFunc(take_keyboard_focus_when_shown);
  Display* display = glXGetCurrentDisplay();
  const GLXDrawable window = glXGetCurrentDrawable();
  if (display == nullptr || window == None) return;
  name_window_for_desktop(display, window, window_title);
  // Full screen for the whole show: a compositor may hand the window the
  // screen directly instead of copying each frame.
  const long bypass = 1;
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_BYPASS_COMPOSITOR", False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&bypass), 1);
  if (desktop.window_manager_full_screen) {
    // A window manager that has not taken the window on yet reads its first
    // state from here; enter_full_screen asks one that has.
    const long state = long(XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False));
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_STATE", False), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&state), 1);
  }
  XFlush(display);
}

namespace {

// Asks the window manager to add full screen to the window's state, whatever
// it did with that state before.
void ask_window_manager_for_full_screen(Display* display, Window window) {
  constexpr long add = 1;
  constexpr long from_an_application = 1;
  XEvent request{};
  request.xclient.type = ClientMessage;
  request.xclient.window = window;
  request.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
  request.xclient.format = 32;
  request.xclient.data.l[0] = add;
  request.xclient.data.l[1] = long(XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False));
  request.xclient.data.l[2] = 0;
  request.xclient.data.l[3] = from_an_application;
  XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask,
             &request);
}

}  // namespace

void enter_full_screen() {
  Display* display = glXGetCurrentDisplay();
  const GLXDrawable window = glXGetCurrentDrawable();
  if (display == nullptr || window == None) return;
  if (desktop.window_manager_full_screen) {
    ask_window_manager_for_full_screen(display, window);
  } else {
    // With no window manager the show covers its own monitor, not the whole
    // screen across every monitor.
    const monitor_area& monitor = desktop.monitor;
    XMoveResizeWindow(display, window, monitor.x, monitor.y, unsigned(monitor.width), unsigned(monitor.height));
    XRaiseWindow(display, window);
  }
  XFlush(display);
}
