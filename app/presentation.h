// presentation.h: the show's frames on screen. Each step of the show is drawn
// into the 640 by 480 picture; the newest step due on the show's clock is then
// presented, scaled to the window, by a buffer swap.
#pragma once

// Makes the picture in the window's context and binds it for drawing; false
// when this OpenGL cannot draw into it.
bool open_picture();

// The toolkit's window-size callback: notes where the picture now goes, sets
// the projection and the base eye offset for the picture as ever, and lets
// the refresh rate of the window's monitor pace the swaps where it can.
void window_reshaped(int width, int height);

// The toolkit's window-position callback: the window may now be on a monitor
// with another refresh rate, so the swaps are paced by that monitor's.
void window_moved(int x, int y);

// The toolkit's display callback: draws every step of the show that is due
// and not yet drawn, in order, and presents the newest once.
void show_frame();

// Asks the toolkit for the next frame. While the window is hidden the toolkit
// draws none; the due steps are then drawn here without being presented, so
// the show keeps its time and still ends when its last step is due.
void request_frame();

// The show's present hook, after each step is drawn: puts the picture on
// screen when it holds the newest step due.
void present_frame();
