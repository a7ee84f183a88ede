// screen_grab.h: what a person sees on an X display: part of the root window,
// or one window, read with XGetImage as RGB; and a window's full screen taken
// away as a pager would.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "tests/e2e/desktops.h"
#include "tests/support/rgb_frame.h"

// The root window's pixels in that area (a monitor's, as its mode scans it out).
std::optional<rgb_frame> grab_screen_area(const std::string& display, const monitor_area& area);

// The pixels of the top-level window of that title, as a compositor shows it.
std::optional<rgb_frame> grab_window(const std::string& display, const std::string& title);

// Waits until the window of that title has a size the test wants; false at the limit.
bool wait_for_window_size(const std::string& display, const std::string& title, std::chrono::milliseconds limit,
                          const std::function<bool(int width, int height)>& wanted);

// Asks the window manager, as a pager or wmctrl would, to take full screen
// away from the window of that title; false when there is no such window.
bool ask_window_manager_to_remove_full_screen(const std::string& display, const std::string& title);
