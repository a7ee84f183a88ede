// show_end.h: the one way out of the program, by Escape or after the last scene.
#pragma once

// Leaves full-screen mode and exits with status 0. The music, the module and
// the textures are not released: the process ends with them.
[[noreturn]] void leave_show();
