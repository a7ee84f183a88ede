// shm_presenter.h: the picture on the show's window without OpenGL, for
// renderers that draw on the CPU: scaled on the CPU straight into memory the
// X server shares (MIT-SHM) and put on the window from there. Where the X
// server cannot share memory with the show (a remote display) or the window
// is neither 24-bit nor 16-bit TrueColor, it is not opened, and the OpenGL presenter is kept.
#pragma once

#include "offscreen/picture_framebuffer.h"

// On the current OpenGL context's window; false where it cannot be used.
bool open_shm_presenter();

// Makes the shared image anew, black, and plans the scaling for a window of
// width by height pixels, where its size changed: called as the window's size
// becomes known, so that frames allocate nothing.
void size_shm_frame(int width, int height);

// Scales the newest picture for a window of width by height pixels (sizing
// first, should the size have changed unnoticed). Leaves the picture bound
// for drawing.
void prepare_shm_frame(const picture_framebuffer& picture, int width, int height);

// Puts the prepared frame on the window, and waits until the X server has it.
void show_shm_frame();
