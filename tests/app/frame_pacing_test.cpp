// frame_pacing_test.cpp: the show's clock on a fake clock that only moves
// when the show sleeps, draws a step, or waits for a display's refresh.
#include "app/frame_pacing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <span>
#include <vector>

#include "app/swap_interval.h"
#include "show/timeline.h"

namespace {

using namespace std::chrono_literals;

struct presentation {
  int step;
  pacing_time at;
  int steps_drawn;  // for it, since the presentation before
};

// A show on a fake clock: each presentation draws the due steps, each taking
// its drawing time, then swaps, which takes its presenting time; a display
// refreshing at refresh_period (if any) holds each swap until its next refresh.
struct fake_show {
  pacing_time now = 1h;  // far from zero, as on a machine that has been up a while
  pacing_time drawing_time = 1ms;
  pacing_time presenting_time{};
  pacing_time refresh_period{};
  pacing_leads leads;
  show_clock clock;
  std::vector<presentation> presented;
  int sleeps = 0;

  void present() {
    const pacing_clock time{[this] { return now; },
                            [this](pacing_time deadline) { ++sleeps, now = std::max(now, deadline); }};
    const int newest = step_to_present(clock, now, leads.choice, frames_in_show);
    const int steps_drawn = newest - clock.steps_drawn;
    now += steps_drawn * drawing_time;
    clock.steps_drawn = newest;
    wait_for_step(clock, time, leads.handover, newest);
    if (refresh_period > 0ns) now = (now / refresh_period + 1) * refresh_period;
    presented.push_back({newest, now, steps_drawn});
    now += presenting_time;
    if (!clock.started) start_show_clock(clock, now);
  }
  // Runs the show to its end; every step presented comes after the one before.
  void run_to_end() {
    while (clock.steps_drawn < frames_in_show) present();
    for (std::size_t at = 1; at < presented.size(); ++at) ASSERT_GT(presented[at].step, presented[at - 1].step);
  }
  pacing_time lateness(const presentation& frame) const { return frame.at - due_time(clock, frame.step); }
};

TEST(frame_pacing, presents_every_step_of_a_fast_show_at_its_own_sixtieth_of_a_second) {
  fake_show show;
  show.run_to_end();
  ASSERT_EQ(show.presented.size(), std::size_t(frames_in_show));
  // Each step, once drawn, waited exactly until it was due.
  for (const presentation& frame : std::span(show.presented).subspan(1))
    ASSERT_EQ(show.lateness(frame), 0ns) << "step " << frame.step;
  EXPECT_NEAR(std::chrono::duration<double>(show.presented.back().at - show.clock.start).count(), 53.2167, 0.002);
  EXPECT_EQ(show.sleeps, frames_in_show - 1);  // the first step starts the clock, once on screen
}

TEST(frame_pacing, presents_the_newest_due_step_where_presenting_is_too_slow_for_60_a_second) {
  fake_show show;
  show.drawing_time = 2ms;
  show.presenting_time = 22ms;  // like 1920x1080 on llvmpipe
  show.run_to_end();
  EXPECT_LT(show.presented.size(), std::size_t(frames_in_show) * 3 / 4);
  // The picture lags its clock by no more than one presentation and the steps
  // drawn for it, and the show ends when its last step is due, not later.
  for (const presentation& frame : std::span(show.presented).subspan(1))
    ASSERT_LE(show.lateness(frame), frame.steps_drawn * show.drawing_time + show.presenting_time + frame_period)
        << "step " << frame.step;
  EXPECT_EQ(show.presented.back().step, frames_in_show);
  EXPECT_LT(show.presented.back().at - due_time(show.clock, frames_in_show), 40ms);
}

TEST(frame_pacing, catches_up_with_its_clock_at_once_after_a_hidden_stall_and_a_slow_frame) {
  fake_show show;
  for (int frame = 0; frame < 480; ++frame) show.present();
  show.now += 5s;  // hidden: nothing drawn
  show.present();
  // The whole stall's steps are drawn, and the newest of them is presented.
  EXPECT_GE(show.presented.back().step, 480 + 300);
  EXPECT_LT(show.lateness(show.presented.back()), 300 * show.drawing_time + frame_period);
  show.drawing_time = 120ms;  // like the cube's first step, compiling its shaders
  show.present();
  show.drawing_time = 1ms;
  const pacing_time slow_frame_ended = show.now;
  show.run_to_end();
  // Back on its clock within a second, and the show's length unchanged.
  for (const presentation& frame : show.presented) {
    if (frame.at <= slow_frame_ended + 1s) continue;
    ASSERT_EQ(show.lateness(frame), 0ns) << "step " << frame.step;
  }
  EXPECT_EQ(show.presented.back().at - show.clock.start, (frames_in_show - 1) * frame_period);
}

TEST(frame_pacing, lets_a_display_near_60_hz_pace_it_with_each_step_on_the_refresh_nearest_its_time) {
  for (const double rate : {60.0, 59.94, 60.02}) {
    fake_show show;
    show.refresh_period = pacing_time(std::llround(1e9 / rate));
    show.leads = refresh_leads;
    for (int frame = 0; frame < 1500; ++frame) show.present();
    show.drawing_time = 30ms;  // one step misses its refresh
    show.present();
    const int slow_step = show.presented.back().step;
    show.drawing_time = 1ms;
    show.run_to_end();
    int held_or_missed = 0;
    for (const presentation& frame : std::span(show.presented).subspan(1)) {
      if (frame.step == slow_step) continue;
      // Each step is on the refresh nearest its time, the slow one's next too.
      ASSERT_LE(abs(show.lateness(frame)), frame_period / 2 + 200us) << rate << " Hz, step " << frame.step;
      if (frame.steps_drawn != 1) ++held_or_missed;
    }
    // The step after the slow one is not shown; 53 s at 0.06 Hz apart from
    // the clock: about three refreshes held or missed.
    EXPECT_LE(held_or_missed, rate == 60.0 ? 1 : 5) << rate << " Hz";
  }
}

TEST(swap_interval, swaps_once_per_frame_at_rates_that_are_whole_multiples_of_60) {
  for (const auto& [rate, interval] : {std::pair{60.0, 1}, {120.0, 2}, {119.88, 2}, {180.0, 3}, {240.0, 4}})
    EXPECT_EQ(swap_interval_for(rate), interval) << rate << " Hz";
}

TEST(swap_interval, swaps_every_refresh_at_other_rates_and_leaves_pacing_to_the_deadlines) {
  for (const double rate : {0.0, 30.0, 50.0, 59.94, 75.0, 90.0, 144.0, 165.0, 200.0})
    EXPECT_EQ(swap_interval_for(rate), 1) << rate << " Hz";
}

}  // namespace
