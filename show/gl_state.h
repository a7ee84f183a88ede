// gl_state.h: the graphics state the show starts from: the clear colour and
// texturing (init_gl), and the projection with the base eye offset (reshape).
// A library of its own, so the show's window, the capture tool, the page and
// the render tests start alike.
#pragma once

void init_gl();
void reshape(int width, int height);
