// frame_pacing.h: the show's one clock. Step n is due (n - 1)/60 s after the
// first frame, so the picture keeps time with the music whatever happens to
// the window or the machine: every step is drawn, in order, and each
// presentation shows the newest step that is due.
#pragma once

#include <chrono>
#include <functional>

using pacing_time = std::chrono::nanoseconds;  // since an arbitrary, fixed start

inline constexpr pacing_time frame_period = std::chrono::nanoseconds(1'000'000'000) / 60;

// How far ahead of its time a step is chosen for a frame, and handed to the swap.
struct pacing_leads {
  pacing_time choice{};
  pacing_time handover{};
};

// Where the display's refresh paces the swaps, a frame goes out on the refresh
// after the one the last swap waited for, a period on: the step chosen is the
// one due nearest that refresh, and it is handed over half a period early.
inline constexpr pacing_leads refresh_leads{frame_period + frame_period / 2, frame_period / 2};

// The clock the show reads and sleeps on; the program's is the monotonic
// clock, tests hand it a fake one.
struct pacing_clock {
  std::function<pacing_time()> now;
  std::function<void(pacing_time)> sleep_until;
};

// The show's time: started once its first step is on screen, and never
// restarted. The first frame is the slowest (the driver compiles what it first
// draws with), so counting from its end lets every later step be shown.
struct show_clock {
  bool started = false;
  pacing_time start{};
  int steps_drawn = 0;
};

// When step n (from 1) is due on a started clock.
pacing_time due_time(const show_clock& clock, int step);

// Starts the clock, now that step 1 is on screen.
void start_show_clock(show_clock& clock, pacing_time now);

// The step to present at `now`, at most last_step: the newest that is due,
// counting each as due `lead` before its time, or the next one to draw when
// none is (it then waits for its time). Step 1 until the clock has started.
int step_to_present(const show_clock& clock, pacing_time now, pacing_time lead, int last_step);

// Waits, once the step is drawn, until `lead` before its time, so frames are
// handed to the swap on time however long they took to draw.
void wait_for_step(const show_clock& clock, const pacing_clock& time, pacing_time lead, int step);

// The monotonic clock, sleeping with clock_nanosleep on absolute deadlines.
pacing_clock monotonic_pacing_clock();
