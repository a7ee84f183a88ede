// show_window.h: the show's one window, full screen over one monitor, without
// ever changing the monitor's mode, so there is nothing to give back at the
// end: the window goes with the process.
#pragma once

// Looks at the desktop the show is about to open on: its X display (given by
// -display on the command line, else by DISPLAY), its primary monitor and
// whether a window manager will make windows full screen. False, after one
// line on standard error, when there is no display to open.
bool look_at_desktop(int argc, char** argv);

// Makes the 640 by 480 window at the primary monitor's top-left corner, named
// for the desktop, and makes its OpenGL context current. Call look_at_desktop first.
void open_show_window();

// Makes the window cover its monitor: through the window manager where one
// runs (whatever it did with the window before), else by placing the window
// over the monitor itself.
void enter_full_screen();
