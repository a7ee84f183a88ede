// frame_pacing.cpp: which step of the show is due, and the monotonic clock
// the show runs on in the program.
#include "app/frame_pacing.h"

#include <time.h>

#include <algorithm>
#include <cerrno>

pacing_time due_time(const show_clock& clock, int step) { return clock.start + (step - 1) * frame_period; }

void start_show_clock(show_clock& clock, pacing_time now) {
  clock.started = true;
  clock.start = now;
}

int step_to_present(const show_clock& clock, pacing_time now, pacing_time lead, int last_step) {
  const int next = std::min(clock.steps_drawn + 1, last_step);
  if (!clock.started || now + lead < due_time(clock, next)) return next;
  const pacing_time elapsed = now + lead - clock.start;
  return std::clamp(int(elapsed / frame_period) + 1, next, last_step);
}

void wait_for_step(const show_clock& clock, const pacing_clock& time, pacing_time lead, int step) {
  if (clock.started && time.now() + lead < due_time(clock, step)) time.sleep_until(due_time(clock, step) - lead);
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
