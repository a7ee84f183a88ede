// canvas_presenter.h: shows the 640 by 480 picture on the page's canvas
// (implemented in JavaScript on WebGL, canvas_presenter.js).
#pragma once

extern "C" {

// Copies the picture out of its framebuffer and draws it into the canvas's
// width by height drawing buffer over the placed area (x, y from the lower
// left), with black around it: nearest at a whole scale, sharp bilinear when
// larger otherwise, plain bilinear when smaller. Leaves the show's WebGL
// state as it found it.
void present_on_canvas(unsigned picture_framebuffer, int width, int height, int x, int y, int placed_width,
                       int placed_height, int whole_scale);
}
