// window_identity.h: what the desktop knows the show's window by: its class
// (matched by the menu entry's StartupWMClass), its name, its process and its icon.
#pragma once

#include <X11/Xlib.h>

inline constexpr const char* window_class_name = "quorvan";
inline constexpr const char* window_class = "Quorvan";

// Sets WM_CLASS, _NET_WM_NAME, _NET_WM_PID with WM_CLIENT_MACHINE, and _NET_WM_ICON.
void name_window_for_desktop(Display* display, Window window, const char* title);
