// swap_interval.h: paces the show at the display's refresh rate.
#pragma once

// Asks the current GLX context for one buffer swap per vertical refresh,
// through whichever swap-control extension the driver offers. Without one,
// frames are drawn as fast as the machine allows.
void request_swap_per_refresh();
