// pictures.h: one drawing function per picture of the show.
// Each returns a finished 256 by 256 picture, the same on every call.
#pragma once

#include "tools/pictures/canvas.h"

canvas draw_smiley();       // a smiling face on a sunburst
canvas draw_who();          // the credits card
canvas draw_greets();       // the greetings card
canvas draw_cube_face_1();  // red checkerboard with a "1"
canvas draw_cube_face_2();  // green stripes with a "2"
canvas draw_cube_face_3();  // blue diamonds with a "3"
canvas draw_the_end();      // the closing card
