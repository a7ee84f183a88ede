// refresh_rate.h: the refresh rate of the monitor that shows a window, as
// XRandR reports the mode its CRTC is driving.
#pragma once

#include <X11/Xlib.h>

// The rate in Hz of the monitor holding the window's centre; 0 when XRandR is
// missing or no active CRTC holds it.
double refresh_rate_of_window(Display* display, Window window);
