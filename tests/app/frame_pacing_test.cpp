// frame_pacing_test.cpp: the pacer's schedule on a fake clock that only moves
// when the pacer sleeps or a frame takes its time to draw.
#include "app/frame_pacing.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/swap_interval.h"

namespace {

using namespace std::chrono_literals;

// A show on a fake clock: each frame waits for its slot, then takes its
// drawing time; the start of every frame is noted.
struct fake_show {
  pacing_time now = 1h;  // far from zero, as on a machine that has been up a while
  frame_schedule schedule;
  std::vector<pacing_time> frame_starts;
  int sleeps = 0;

  pacing_clock clock() {
    return {[this] { return now; },
            [this](pacing_time deadline) {
              ++sleeps;
              if (deadline > now) now = deadline;
            }};
  }
  void frame(pacing_time drawing_time = 1ms) {
    wait_for_frame_slot(schedule, clock());
    frame_starts.push_back(now);
    now += drawing_time;
  }
  void frames(int count, pacing_time drawing_time = 1ms) {
    for (int i = 0; i < count; ++i) frame(drawing_time);
  }
  pacing_time interval(std::size_t frame) const { return frame_starts[frame] - frame_starts[frame - 1]; }
  pacing_time length() const { return frame_starts.back() - frame_starts.front(); }
};

TEST(frame_pacing, starts_the_first_frame_at_once_and_the_next_a_sixtieth_of_a_second_later) {
  fake_show show;
  const pacing_time start = show.now;
  show.frames(2);
  EXPECT_EQ(show.frame_starts[0], start);
  EXPECT_EQ(show.frame_starts[1], start + frame_period);
}

TEST(frame_pacing, keeps_3194_fast_frames_on_absolute_deadlines_without_drift) {
  fake_show show;
  show.frames(3194, 3ms);
  // 3193 periods of a sixtieth of a second, to the nanosecond the rounding of one period allows.
  EXPECT_EQ(show.length(), 3193 * frame_period);
  EXPECT_NEAR(std::chrono::duration<double>(show.length()).count(), 53.2167, 0.0001);
  for (std::size_t frame = 1; frame < show.frame_starts.size(); ++frame)
    ASSERT_EQ(show.interval(frame), frame_period) << "frame " << frame + 1;
}

TEST(frame_pacing, makes_up_a_slow_frame_without_shifting_the_rest) {
  fake_show show;
  show.frames(100);
  show.frame(120ms);  // like the cube's first frame, compiling its shaders
  show.frames(100);
  EXPECT_EQ(show.length(), 200 * frame_period);
  // The frames after the slow one come without waiting until the show is back on time.
  EXPECT_EQ(show.interval(101), 120ms);
  EXPECT_EQ(show.interval(102), 1ms);
  EXPECT_EQ(show.frame_starts[110], show.frame_starts[0] + 110 * frame_period);
}

TEST(frame_pacing, starts_a_new_schedule_after_a_long_stall_instead_of_a_burst) {
  fake_show show;
  show.frames(10);
  show.frame(2s);  // the machine was suspended, or the show was held
  show.frames(10);
  EXPECT_EQ(show.interval(11), 2s);
  for (std::size_t frame = 12; frame < show.frame_starts.size(); ++frame)
    EXPECT_EQ(show.interval(frame), frame_period) << "frame " << frame + 1;
}

TEST(frame_pacing, shows_every_frame_later_on_a_machine_too_slow_for_60_a_second) {
  fake_show show;
  show.frames(600, 25ms);
  ASSERT_EQ(show.frame_starts.size(), 600u);
  for (std::size_t frame = 1; frame < show.frame_starts.size(); ++frame)
    ASSERT_EQ(show.interval(frame), 25ms) << "frame " << frame + 1;
  EXPECT_EQ(show.sleeps, 0);
}

TEST(frame_pacing, sleeps_once_per_frame_and_only_until_its_deadline) {
  fake_show show;
  show.frames(50, 5ms);
  EXPECT_EQ(show.sleeps, 49);  // the first frame starts the schedule without waiting
}

TEST(swap_interval, swaps_once_per_frame_at_rates_that_are_whole_multiples_of_60) {
  EXPECT_EQ(swap_interval_for(60.0), 1);
  EXPECT_EQ(swap_interval_for(120.0), 2);
  EXPECT_EQ(swap_interval_for(119.88), 2);
  EXPECT_EQ(swap_interval_for(180.0), 3);
  EXPECT_EQ(swap_interval_for(240.0), 4);
}

TEST(swap_interval, swaps_every_refresh_at_other_rates_and_leaves_pacing_to_the_deadlines) {
  for (const double rate : {0.0, 30.0, 50.0, 59.94, 75.0, 90.0, 144.0, 165.0, 200.0})
    EXPECT_EQ(swap_interval_for(rate), 1) << rate << " Hz";
}

}  // namespace
