// desktops.h: the desktops people watch the show on, each started by the bench
// once per test program: Xorg (dummy driver) at today's sizes, with one or two
// monitors, bare or with openbox, and weston and sway with Xwayland. CTest runs
// each desktop's tests in one program, so each server starts once.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct monitor_area {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

enum class desktop_session {
  xorg,     // Xorg alone: no window manager
  openbox,  // Xorg with openbox, a window manager that follows the desktop conventions
  weston,   // weston's headless backend with its Xwayland
  sway,     // sway (wlroots) headless with its Xwayland
};

struct desktop_kind {
  const char* name;
  int width;  // of each monitor
  int height;
  int depth = 24;
  int monitors = 1;            // side by side; with two, the right-hand one is primary
  bool offers_640x480 = true;  // a mode the old full-screen switch would have taken
  desktop_session session = desktop_session::xorg;

  // Whether a window manager runs, which makes the window full screen when asked.
  bool has_window_manager() const { return session != desktop_session::xorg; }

  // The area of the monitor the show must cover, in root-window coordinates.
  monitor_area show_monitor() const { return {.x = width * (monitors - 1), .y = 0, .width = width, .height = height}; }
};

inline void PrintTo(const desktop_kind& kind, std::ostream* out) { *out << kind.name; }

inline constexpr desktop_kind desktops[] = {
    // The show's own size and depth, with no window manager: most tests run here.
    {.name = "xorg_640x480_depth_16", .width = 640, .height = 480, .depth = 16},
    {.name = "xorg_1024x768", .width = 1024, .height = 768},
    {.name = "openbox_xorg_1920x1080", .width = 1920, .height = 1080, .session = desktop_session::openbox},
    {.name = "xorg_2560x1080", .width = 2560, .height = 1080},
    {.name = "xorg_two_1920x1080_monitors", .width = 1920, .height = 1080, .monitors = 2},
    {.name = "xorg_1024x768_without_640x480", .width = 1024, .height = 768, .offers_640x480 = false},
    {.name = "weston_xwayland_1920x1080", .width = 1920, .height = 1080, .session = desktop_session::weston},
    {.name = "sway_xwayland_1920x1080", .width = 1920, .height = 1080, .session = desktop_session::sway},
};
inline constexpr const desktop_kind& show_desktop = desktops[0];
inline constexpr const desktop_kind& larger_desktop = desktops[1];

struct desktop_server {
  std::string display{};
  // The weston log, where it tells of the Xwayland it spawned; empty for Xorg.
  std::string wayland_log{};
  // What a Wayland client needs to reach the compositor (XDG_RUNTIME_DIR, WAYLAND_DISPLAY).
  std::vector<std::string> wayland_environment{};
};

// Starts (once per test program) a server of that kind; nullopt and why not.
std::optional<desktop_server> desktop_of(const desktop_kind& kind, std::string& failure);

// Stops every desktop started, after the last test.
void stop_desktops();

// The desktop's video mode and monitor layout as xvidtune and xrandr print them.
std::string desktop_layout(const std::string& display);

// Empty if the Xwayland weston spawned for the show is its first and still runs; else why not.
std::string why_first_xwayland_is_not_running(const desktop_server& server);
