// presentation.h: the show's frames on screen. Each frame is drawn into the
// 640 by 480 picture, then presented scaled to the window by a buffer swap.
#pragma once

// Makes the picture in the window's context and binds it for drawing; false
// when this OpenGL cannot draw into it.
bool open_picture();

// The toolkit's window-size callback: notes where the picture now goes, and
// sets the projection and the base eye offset for the picture as ever.
void window_reshaped(int width, int height);

// Asks the toolkit for the next frame. While the window is hidden the toolkit
// draws none, and this waits a frame's time rather than ask again at once.
void request_frame();

// The show's present hook: at the frame's moment, at most 60 a second, scales
// the picture into the window and swaps.
void present_frame();
