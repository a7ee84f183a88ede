// desktops.h: the desktops people watch the show on, each started by the bench
// once per test program: Xorg (dummy driver) at today's sizes, with one or two
// monitors, bare or with openbox, and weston and sway with Xwayland.
#pragma once

#include <gtest/gtest.h>

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
  monitor_area show_monitor() const;
};

inline void PrintTo(const desktop_kind& kind, std::ostream* out) { *out << kind.name; }

struct desktop_server {
  std::string display;
  // The weston log, where it tells of the Xwayland it spawned; empty for Xorg.
  std::string wayland_log;
  // What a Wayland client needs to reach the compositor (XDG_RUNTIME_DIR, WAYLAND_DISPLAY).
  std::vector<std::string> wayland_environment;
};

// Starts (once per test program) a server of that kind; nullopt and why not.
std::optional<desktop_server> desktop_of(const desktop_kind& kind, std::string& failure);

// The test's desktop: fails the test under CI when it cannot be had, skips it elsewhere.
class on_desktop : public ::testing::TestWithParam<desktop_kind> {
 protected:
  void SetUp() override;
  desktop_server server;
};

// The desktop's video mode and monitor layout as xvidtune and xrandr print them.
std::string desktop_layout(const std::string& display);

// Whether the Xwayland that weston spawned for the show is the first and still runs.
bool first_xwayland_still_runs(const desktop_server& server, std::string& why_not);
