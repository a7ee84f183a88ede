// callbacks.h: the start-up graphics state and the window toolkit's callbacks
// other than the frame itself (display, in show/sequencer.h).
#pragma once

void init_gl();
void reshape(int width, int height);
void idle();
void keyboard(unsigned char key, int x, int y);
