// frame_pacing.cpp: the deadline schedule that paces the show, and the
// monotonic clock it runs on in the program.
#include "app/frame_pacing.h"

#include <time.h>

#include <cerrno>

void wait_for_frame_slot(frame_schedule& schedule, const pacing_clock& clock) {
  const pacing_time now = clock.now();
  const pacing_time lateness = now - schedule.next_frame;
  if (!schedule.started || lateness > stall_limit) {
    // The first frame, or the first after a long stall: a new schedule from now.
    schedule = {.started = true, .next_frame = now + frame_period};
    return;
  }
  if (lateness < pacing_time::zero()) clock.sleep_until(schedule.next_frame);
  // On the grid, even when late: a short delay is made up by the frames that follow.
  schedule.next_frame += frame_period;
}

namespace {

pacing_time monotonic_now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

void sleep_until_monotonic(pacing_time deadline) {
  const auto seconds = std::chrono::floor<std::chrono::seconds>(deadline);
  const timespec until{.tv_sec = time_t(seconds.count()), .tv_nsec = long((deadline - seconds).count())};
  // An absolute deadline: a signal that wakes the sleep early is simply slept through again.
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
}

}  // namespace

pacing_clock monotonic_pacing_clock() { return {monotonic_now, sleep_until_monotonic}; }
