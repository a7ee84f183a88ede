// window_identity.cpp: the window's class, name, process and icon, set as
// the ICCCM and the EWMH describe them so that docks and task switchers can
// match the window with the installed menu entry and show its icon.
#include "app/window_identity.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "app/window_icon.h"

namespace {

void set_cardinals(Display* display, Window window, const char* name, const long* values, int count) {
  XChangeProperty(display, window, XInternAtom(display, name, False), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(values), count);
}

void set_class(Display* display, Window window) {
  XClassHint hint{const_cast<char*>(window_class_name), const_cast<char*>(window_class)};
  XSetClassHint(display, window, &hint);
}

void set_utf8_name(Display* display, Window window, const char* title) {
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                  XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title), int(std::strlen(title)));
}

// _NET_WM_PID only means something beside the machine's name.
void set_process(Display* display, Window window) {
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0) return;
  char* names[] = {host};
  XTextProperty machine{};
  if (XStringListToTextProperty(names, 1, &machine) == 0) return;
  XSetWMClientMachine(display, window, &machine);
  XFree(machine.value);
  const long pid = getpid();
  set_cardinals(display, window, "_NET_WM_PID", &pid, 1);
}

// Xlib takes 32-bit properties as longs.
void set_icon(Display* display, Window window) {
  const std::vector<long> values(window_icon, window_icon + window_icon_size);
  set_cardinals(display, window, "_NET_WM_ICON", values.data(), int(values.size()));
}

}  // namespace

void name_window_for_desktop(Display* display, Window window, const char* title) {
  set_class(display, window);
  set_utf8_name(display, window, title);
  set_process(display, window);
  set_icon(display, window);
}
