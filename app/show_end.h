// show_end.h: the one way out of the program, by Escape, after the last scene
// or after a stop signal.
#pragma once

// Exits with status 0. The desktop's mode was never changed, and the window,
// the music, the module and the textures all end with the process.
[[noreturn]] void leave_show();
