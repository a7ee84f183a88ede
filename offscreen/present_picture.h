// present_picture.h: copies the picture, scaled, into a framebuffer of any
// size (the window's, or a capture's), centred at 4:3 with black around it.
#pragma once

#include "offscreen/picture_framebuffer.h"

// Whole-number scales repeat pixels (nearest neighbour). Other scales are
// sharp bilinear: each picture pixel keeps its colour over its middle and
// blends into the next only across the one screen pixel where they meet, so
// edges stay sharp and pixels stay even. Smaller than the picture, and where
// the OpenGL offers no shaders, the picture is blended plainly (bilinear).
//
// target is a framebuffer object, or 0 for the window's back buffer. It is
// left bound for drawing and reading, so a buffer swap or a read-back comes
// next; the caller binds the picture again before drawing the next frame.
void present_picture(const picture_framebuffer& picture, unsigned target, int target_width, int target_height);
