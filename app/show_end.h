// show_end.h: the one way out of the program, by Escape, after the last scene
// or after a stop signal.
#pragma once

// Leaves full-screen mode and exits with status 0. The music, the module and
// the textures are not released: the process ends with them.
[[noreturn]] void leave_show();
