// swap_interval.h: lets the display's refresh pace the show where it can: one
// buffer swap every rate/60 refreshes, so frames come evenly at 60 a second.
#pragma once

// The swap interval for a display refreshing at that rate (Hz): rate/60 where
// the rate is a whole multiple of 60 (60, 120, 180, 240 Hz), else 1, leaving
// the pacer's deadlines to hold the show to 60 frames a second. An unknown
// rate (0) gives 1.
int swap_interval_for(double refresh_rate);

// Whether swaps at that interval pace the show: the rate is a whole multiple
// of 60, within a display's tolerance.
bool refresh_paces_swaps(double refresh_rate);

// Asks the current GLX context for the swap interval that suits the refresh
// rate of the monitor showing its window, through whichever swap-control
// extension the driver offers. True when the swaps then pace the show: the
// rate is a whole multiple of 60 and the driver took the interval.
bool request_paced_swap_interval();
