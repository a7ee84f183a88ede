// screen_grab.cpp: XGetImage in ZPixmap format, each pixel's channels scaled to
// 8 bits as OpenGL reads back a 16-bit buffer (rounded), so grabs at depth 16
// compare with frames read back from the picture.
#include "tests/e2e/screen_grab.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <bit>
#include <memory>

#include "tests/e2e/show_run.h"

namespace {

using display_handle = std::unique_ptr<Display, decltype(&XCloseDisplay)>;

std::uint8_t channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const unsigned long max = mask >> shift;
  const unsigned long value = (pixel & mask) >> shift;
  return std::uint8_t((value * 255 + max / 2) / max);
}

// Xlib's default answer to an error is to end the process; a failed grab
// should fail its test instead.
int ignore_error(Display*, XErrorEvent*) { return 0; }

std::optional<rgb_frame> grab(Display* display, Window window, const monitor_area& area) {
  const auto previous_handler = XSetErrorHandler(ignore_error);
  XImage* image =
      XGetImage(display, window, area.x, area.y, unsigned(area.width), unsigned(area.height), AllPlanes, ZPixmap);
  XSetErrorHandler(previous_handler);
  if (image == nullptr) return std::nullopt;
  rgb_frame frame{.width = area.width, .height = area.height, .bytes = {}};
  for (int y = 0; y < area.height; ++y)
    for (int x = 0; x < area.width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      for (const unsigned long mask : {image->red_mask, image->green_mask, image->blue_mask})
        frame.bytes.push_back(channel(pixel, mask));
    }
  XDestroyImage(image);
  return frame;
}

// Depth first through the window tree, for the first window of that title.
Window find_window(Display* display, Window under, const std::string& title) {
  char* name = nullptr;
  if (XFetchName(display, under, &name) != 0 && name != nullptr) {
    const bool found = title == name;
    XFree(name);
    if (found) return under;
  }
  Window root_and_parent = None;  // XQueryTree writes both; neither is needed
  Window* children = nullptr;
  unsigned count = 0;
  if (XQueryTree(display, under, &root_and_parent, &root_and_parent, &children, &count) == 0) return None;
  Window found = None;
  for (unsigned i = 0; i < count && found == None; ++i) found = find_window(display, children[i], title);
  if (children != nullptr) XFree(children);
  return found;
}

}  // namespace

std::optional<rgb_frame> grab_screen_area(const std::string& display_name, const monitor_area& area) {
  display_handle display(XOpenDisplay(display_name.c_str()), XCloseDisplay);
  if (!display) return std::nullopt;
  return grab(display.get(), DefaultRootWindow(display.get()), area);
}

bool wait_for_window_size(const std::string& display_name, const std::string& title, std::chrono::milliseconds limit,
                          const std::function<bool(int width, int height)>& wanted) {
  display_handle display(XOpenDisplay(display_name.c_str()), XCloseDisplay);
  if (!display) return false;
  return poll_until(
      [&] {
        const Window window = find_window(display.get(), DefaultRootWindow(display.get()), title);
        XWindowAttributes attributes;
        return window != None && XGetWindowAttributes(display.get(), window, &attributes) != 0 &&
               wanted(attributes.width, attributes.height);
      },
      limit);
}

std::optional<rgb_frame> grab_window(const std::string& display_name, const std::string& title) {
  display_handle display(XOpenDisplay(display_name.c_str()), XCloseDisplay);
  if (!display) return std::nullopt;
  const Window window = find_window(display.get(), DefaultRootWindow(display.get()), title);
  XWindowAttributes attributes;
  if (window == None || XGetWindowAttributes(display.get(), window, &attributes) == 0) return std::nullopt;
  return grab(display.get(), window, {.x = 0, .y = 0, .width = attributes.width, .height = attributes.height});
}

bool ask_window_manager_to_remove_full_screen(const std::string& display_name, const std::string& title) {
  display_handle display(XOpenDisplay(display_name.c_str()), XCloseDisplay);
  if (!display) return false;
  const Window window = find_window(display.get(), DefaultRootWindow(display.get()), title);
  if (window == None) return false;
  constexpr long remove = 0;
  constexpr long from_a_pager = 2;
  XEvent request{};
  request.xclient.type = ClientMessage;
  request.xclient.window = window;
  request.xclient.message_type = XInternAtom(display.get(), "_NET_WM_STATE", False);
  request.xclient.format = 32;
  request.xclient.data.l[0] = remove;
  request.xclient.data.l[1] = long(XInternAtom(display.get(), "_NET_WM_STATE_FULLSCREEN", False));
  request.xclient.data.l[3] = from_a_pager;
  XSendEvent(display.get(), DefaultRootWindow(display.get()), False, SubstructureRedirectMask | SubstructureNotifyMask,
             &request);
  XSync(display.get(), False);
  return true;
}
