// simulated_refresh.cpp: the show's steps on its real clock, faked, presented
// by a simulated display at each common refresh rate with
// the swap interval the show would choose, and with no swap control at all.
// Prints "<rate Hz or none> <swap interval> <s first to last> <median ms> <p99 ms>",
// the last two of |interval - 1/60 s| between presented frames.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "app/frame_pacing.h"
#include "app/swap_interval.h"
#include "show/timeline.h"

namespace {

using namespace std::chrono_literals;

// What drawing a frame takes on the bench's llvmpipe (about 2 ms), and the
// frame that draws the cube first, for which the driver compiles new shaders:
// a little over one period here, far more on a slow machine.
constexpr pacing_time drawing_time = 2ms;
constexpr int cube_first_frame = scene_first_frames[3];  // scene 4
constexpr pacing_time cube_first_drawing_time = 20ms;

struct display {
  double refresh_rate = 0;  // 0: no swap control, a frame shows as soon as it is drawn
  int swap_interval = 1;
  long last_refresh = -1'000'000;

  // The refresh at which a frame drawn by now is shown: the first at or after
  // now, and at least swap_interval refreshes after the last frame's.
  pacing_time present(pacing_time now) {
    if (refresh_rate == 0) return now;
    const double period_ns = 1e9 / refresh_rate;
    long refresh = long(std::ceil(double(now.count()) / period_ns));
    refresh = std::max(refresh, last_refresh + swap_interval);
    last_refresh = refresh;
    return pacing_time(std::int64_t(std::llround(double(refresh) * period_ns)));
  }
};

double percentile(std::vector<double> values, double fraction) {
  std::ranges::sort(values);
  return values[std::size_t(fraction * double(values.size() - 1))];
}

void simulate(double refresh_rate) {
  display screen{.refresh_rate = refresh_rate, .swap_interval = swap_interval_for(refresh_rate)};
  const bool swaps_pace = refresh_rate > 0 && refresh_paces_swaps(refresh_rate);
  const pacing_leads leads = swaps_pace ? refresh_leads : pacing_leads{};
  pacing_time now = 1h;
  const pacing_clock time{[&] { return now; }, [&](pacing_time deadline) { now = std::max(now, deadline); }};
  show_clock clock;
  std::vector<pacing_time> presented;
  while (clock.steps_drawn < frames_in_show) {
    const int newest = step_to_present(clock, now, leads.choice, frames_in_show);
    for (; clock.steps_drawn < newest; ++clock.steps_drawn)
      now += clock.steps_drawn + 1 == cube_first_frame ? cube_first_drawing_time : drawing_time;
    wait_for_step(clock, time, leads.handover, newest);
    now = screen.present(now);  // a swap with swap control waits for its refresh
    presented.push_back(now);
    if (!clock.started) start_show_clock(clock, now);
  }
  std::vector<double> jitter_ms;
  for (std::size_t frame = 1; frame < presented.size(); ++frame) {
    if (int(frame) + 1 == cube_first_frame) continue;  // around the slow frame itself
    jitter_ms.push_back(std::abs(
        std::chrono::duration<double, std::milli>(presented[frame] - presented[frame - 1] - frame_period).count()));
  }
  const double seconds = std::chrono::duration<double>(presented.back() - presented.front()).count();
  char rate[16] = "none";
  if (refresh_rate > 0) std::snprintf(rate, sizeof rate, "%g", refresh_rate);
  std::printf("%s %d %.3f %.3f %.3f\n", rate, screen.swap_interval, seconds, percentile(jitter_ms, 0.5),
              percentile(jitter_ms, 0.99));
}

}  // namespace

int main() {
  for (const double rate : {60.0, 75.0, 120.0, 144.0, 165.0, 240.0, 0.0}) simulate(rate);
}
