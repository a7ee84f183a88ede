// unpaced_clock.cpp: the probe's switch for unpaced runs. With BENCH_UNPACED
// set, the show's waits for its frame deadlines (the only absolute sleeps on
// the monotonic clock) return at once, so frames come as fast as they are
// drawn; every other sleep passes on unchanged.
#include "bench/preload.h"

namespace {
const bool unpaced = std::getenv("BENCH_UNPACED") != nullptr;
}  // namespace

extern "C" int clock_nanosleep(clockid_t clock, int flags, const timespec* request, timespec* remaining) {
  static auto* const sleep = next_definition<int(clockid_t, int, const timespec*, timespec*)>("clock_nanosleep");
  if (unpaced && clock == CLOCK_MONOTONIC && flags == TIMER_ABSTIME) return 0;
  return sleep(clock, flags, request, remaining);
}
