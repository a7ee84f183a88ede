// frame_pacing.h: holds the show to at most 60 frames a second, one step per
// frame, against a schedule of absolute deadlines so that no drift builds up.
#pragma once

#include <chrono>
#include <functional>

using pacing_time = std::chrono::nanoseconds;  // since an arbitrary, fixed start

inline constexpr pacing_time frame_period = std::chrono::nanoseconds(1'000'000'000) / 60;

// A frame later than its deadline by less than this is caught up without
// waiting, so one slow frame does not shift the rest of the show. A longer
// stall starts a new schedule instead of a burst of frames to catch up.
inline constexpr pacing_time stall_limit = std::chrono::milliseconds(250);

// The clock the pacer reads and sleeps on; the program's is the monotonic
// clock, tests hand it a fake one.
struct pacing_clock {
  std::function<pacing_time()> now;
  std::function<void(pacing_time)> sleep_until;
};

// The schedule: when the next frame may start. None before the first frame.
struct frame_schedule {
  bool started = false;
  pacing_time next_frame{};
};

// Called once before each frame: waits until the frame's deadline, or not at
// all when the frame is late, and moves the deadline on by one period.
void wait_for_frame_slot(frame_schedule& schedule, const pacing_clock& clock);

// The monotonic clock, sleeping with clock_nanosleep on absolute deadlines.
pacing_clock monotonic_pacing_clock();
