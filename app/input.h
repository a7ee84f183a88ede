// input.h: the toolkit's idle and keyboard callbacks, and the music they control.
#pragma once

struct song;
extern song* show_song;  // loaded once at start-up, never released

void idle();
void keyboard(unsigned char key, int x, int y);
