// stop_signals.h: Ctrl+C, SIGTERM and a closed terminal end the show the same
// way Escape does, so the desktop gets its display mode back.
#pragma once

// Catches SIGINT, SIGTERM and SIGHUP (each unless it is already ignored, as
// for a program started in the background). The handler only records the
// request; the event loop acts on it. A second such signal ends the process
// at once, in case the loop is stuck.
void catch_stop_signals();

// Whether one of those signals has arrived.
bool stop_requested();
