// whole_show_test.cpp: the whole show, played once by the real program with its
// own data on the show's own desktop, and what that one run shows: what it
// prints, its window, its frames, the keys typed at it on a bare X session,
// the music it sends to the sound device (SDL's disk driver) through "m", "s"
// and keys that change nothing, and its end. Escape, which ends the show
// early, has a run of its own. ("f" is tried on every desktop, in
// full_screen_test.cpp.)
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "sound/music.h"
#include "tests/e2e/music_capture.h"
#include "tests/e2e/show_expectations.h"
#include "tests/e2e/show_run.h"
#include "tests/e2e/x_server.h"
#include "tests/e2e/x_server_fixture.h"
#include "tests/support/disk_audio.h"
#include "tests/support/rgb_frame.h"

namespace {

constexpr auto event_limit = std::chrono::seconds(60);
constexpr long escape = 27;

// The first frame of every scene (on which, but for the first, the one before
// draws its last), and the last frame.
const std::vector<int> looked_at_frames = [] {
  std::vector<int> frames(scene_first_frames.begin(), scene_first_frames.end());
  frames.push_back(frames_in_show);
  return frames;
}();

// How much music the capture gains while the show is held before each key.
// The disk driver writes at about the pace of a real device, a little slower
// under load, so the bench waits for the bytes rather than for the clock.
constexpr double listening_seconds = 0.7;

// The capture file trails the mix by up to one device buffer and the file
// buffering of the disk driver; stretches are judged this far from the
// moments the keys were handled.
constexpr double settle_seconds = 0.15;

// A stretch of music compared in windows of a tenth of a second; each must
// match the module's own rendering this closely. (Shifting the module by a
// single sample already brings a window below it.)
constexpr std::size_t window_frames = music_mix_rate / 10;
constexpr double same_music = 0.99;
constexpr double compared_seconds = 1.0;

// The keys typed while the show is held after a frame, each once the music
// has played on for a while: "m" while playing, then upper-case and other
// keys that change nothing, then "s", and "m" again after the silence.
struct typed_keys {
  int frame;
  std::vector<std::string> keys;
};
constexpr int s_frame = 400;        // the unbroken first play ends here
constexpr int m_again_frame = 500;  // the silence ends here
const typed_keys keys_typed[] = {
    {100, {"m"}},     {200, {"shift+m"}},     {300, {"shift+s", "shift+f", "a", "q", "x", "space", "Return", "Tab"}},
    {s_frame, {"s"}}, {m_again_frame, {"m"}},
};
const std::vector<long> typed_codes{'m', 'M', 'S', 'F', 'a', 'q', 'x', ' ', '\r', '\t', 's', 'm'};
constexpr int last_hold = 600;  // where the music after the last "m" is listened to

// The capture's size when a hold's keys were typed, and once the show had handled them.
struct typed_moment {
  std::size_t typed_byte = 0;
  std::size_t handled_byte = 0;
};

// The one run, played when it is made, and the moments the music tests judge by.
struct whole_run {
  explicit whole_run(const std::string& display) { failure = play_through(display); }
  std::string play_through(const std::string& display);
  std::string failure;  // why the run could not be made as planned; empty if it was
  show_data_folder folder{"whole-show"};
  show_result result;
  std::map<int, typed_moment> moments;  // by the frame of the hold
};

// Lets the music play on, while the show is held, until the capture has grown
// by that many seconds of sound. False if it does not grow in time.
bool listen(const running_show& show, double seconds) {
  const std::optional<capture_format> format = capture_format_of(read_events(show.folder));
  if (!format) return false;
  const std::size_t wanted = captured_bytes(show) + frames_in(seconds) * bytes_per_frame(*format);
  return poll_until([&] { return captured_bytes(show) >= wanted; }, event_limit);
}

// Plays the show through on the display, typing the keys at their holds, after
// another program has left the keyboard focus nowhere.
std::string whole_run::play_through(const std::string& display) {
  if (!leave_keyboard_focus_nowhere(display)) return "cannot leave the keyboard focus nowhere";
  std::vector<int> holds{last_hold};
  for (const typed_keys& typed : keys_typed) holds.push_back(typed.frame);
  running_show show = start_show_on(display, folder, {.hold_frames = holds, .saved_frames = looked_at_frames});
  std::size_t keys_so_far = 0;
  for (const typed_keys& typed : keys_typed) {
    const std::string at = " at frame " + std::to_string(typed.frame);
    if (!wait_for_hold(show, typed.frame, event_limit) || !listen(show, listening_seconds)) return "no music" + at;
    const std::size_t typed_byte = captured_bytes(show);
    if (!press_keys_at(show, typed.frame, typed.keys)) return "cannot type" + at;
    keys_so_far += typed.keys.size();
    const auto handled = [&] { return events_named(read_events(show.folder), "key").size() >= keys_so_far; };
    if (!poll_until(handled, event_limit)) return "keys typed" + at + " never reached the show";
    moments[typed.frame] = {.typed_byte = typed_byte, .handled_byte = captured_bytes(show)};
  }
  if (!wait_for_hold(show, last_hold, event_limit) || !listen(show, compared_seconds + 2 * settle_seconds))
    return "no music after m";
  resume_show(show);
  result = finish_show(show, run_limit);
  return "";
}

// The captured music, read back in the format the sound layer opened the device with.
struct capture {
  std::vector<float> samples;  // interleaved stereo
  std::size_t bytes_per_frame = 1;
  std::size_t frame_at(std::size_t byte) const { return byte / bytes_per_frame; }
};

capture read_music(const show_result& result) {
  const std::optional<capture_format> format = capture_format_of(result.events);
  EXPECT_TRUE(format.has_value()) << "the sound device was never opened";
  if (!format) return {};
  EXPECT_EQ(format->rate, music_mix_rate);
  EXPECT_EQ(format->sdl_format, sdl_float_samples);
  EXPECT_EQ(format->channels, stereo);
  return {.samples = read_disk_audio(result.capture, format->sdl_format), .bytes_per_frame = bytes_per_frame(*format)};
}

// The lowest likeness, window by window, of the capture from that frame on to
// the module from its first sound.
double likeness_to_the_module(const capture& music, std::size_t onset, std::size_t length) {
  const std::optional<std::size_t> module_onset = first_audible_frame(show_module_start(), 0);
  if (!module_onset) return 0.0;
  return least_similarity(stereo_frames(music.samples, onset, length),
                          stereo_frames(show_module_start(), *module_onset, length), stereo * window_frames);
}

// The tests of the one run; each fails with the run when it could not be made.
class on_the_whole_run : public on_x_server {
 protected:
  void take_the_run() {
    static const whole_run played(display);  // by the first test that needs it
    run = &played;
    ASSERT_EQ(run->failure, "");
  }
  const whole_run* run = nullptr;
};

class the_whole_show : public on_the_whole_run {
 protected:
  void SetUp() override {
    on_x_server::SetUp();
    if (!IsSkipped() && !HasFatalFailure()) take_the_run();
  }
};

TEST_F(the_whole_show, loads_seven_pictures_presents_3194_frames_and_exits_0) {
  expect_ran_to_its_end(run->result);
  EXPECT_EQ(run->result.output, repeated(loaded_line, 7));
  // It exits right after presenting the last frame.
  ASSERT_FALSE(run->result.events.empty());
  EXPECT_EQ(run->result.events.back().name, "exit");
  EXPECT_EQ(run->result.events.back().frame, frames_in_show);
}

TEST_F(the_whole_show, opens_a_640_by_480_window_made_full_screen_and_sized_before_the_first_frame) {
  const std::vector<probe_event> windows = events_named(run->result.events, "window");
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(windows[0].values, (std::vector<long>{picture_width, picture_height}));
  // No window manager on the show's own desktop: the show places its window over the monitor.
  const std::vector<probe_event> placed = events_named(run->result.events, "place_window");
  ASSERT_GE(placed.size(), 1u);
  EXPECT_EQ(placed[0].frame, 0);
  EXPECT_EQ(placed[0].values, (std::vector<long>{0, 0, picture_width, picture_height}));

  const std::vector<probe_event> reshapes = events_named(run->result.events, "reshape");
  ASSERT_FALSE(reshapes.empty());
  EXPECT_EQ(reshapes[0].frame, 0) << "the first frame was drawn before the window had its size";
  EXPECT_EQ(reshapes[0].values, (std::vector<long>{picture_width, picture_height}));
}

TEST_F(the_whole_show, draws_black_bars_over_every_scene_with_the_picture_between_them) {
  for (const int number : looked_at_frames) {
    SCOPED_TRACE("frame " + std::to_string(number));
    const std::optional<rgb_frame> frame = read_png(saved_frame_file(run->folder.path, number));
    ASSERT_TRUE(frame.has_value());
    ASSERT_EQ(frame->width, picture_width);
    ASSERT_EQ(frame->height, picture_height);
    for (int row = 0; row < bar_rows; ++row) {
      EXPECT_TRUE(frame->row_is_all(row, black_level)) << "upper bar, row " << row;
      EXPECT_TRUE(frame->row_is_all(picture_height - 1 - row, black_level)) << "lower bar, row " << row;
    }
    EXPECT_FALSE(frame->row_is_all(picture_height / 2, black_level)) << "nothing drawn between the bars";
  }
}

using keys = on_the_whole_run;  // Escape, among them, has a run of its own

TEST_F(keys, reach_the_show_on_a_bare_x_session_where_another_program_left_the_focus_nowhere) {
  ASSERT_NO_FATAL_FAILURE(take_the_run());
  std::vector<long> codes;
  for (const probe_event& key : events_named(run->result.events, "key")) codes.push_back(key.values.at(0));
  EXPECT_EQ(codes, typed_codes);
}

TEST_F(keys, upper_case_f_m_s_and_other_keys_change_nothing_and_the_show_goes_on_to_its_end) {
  ASSERT_NO_FATAL_FAILURE(take_the_run());
  expect_ran_to_its_end(run->result);
  EXPECT_TRUE(full_screen_requests_after_start(run->result.events).empty());
}

using music = the_whole_show;

TEST_F(music, plays_the_module_from_its_start_unbroken_through_m_while_playing_and_upper_case_m_and_s) {
  const capture music = read_music(run->result);
  const std::optional<std::size_t> onset = first_audible_frame(music.samples, 0);
  ASSERT_TRUE(onset) << "no music captured";
  // From its first sound to "s", the capture is the module played once
  // through, including what followed "m", "M", "S" and the other keys.
  const std::size_t length = music.frame_at(run->moments.at(s_frame).typed_byte) - *onset;
  ASSERT_GE(length, frames_in(3 * listening_seconds));
  EXPECT_GE(likeness_to_the_module(music, *onset, length), same_music);
}

TEST_F(music, s_silences_the_music_and_m_brings_it_back_from_the_start) {
  const capture music = read_music(run->result);
  // Silence from shortly after "s" until "m".
  const std::size_t silence_from = music.frame_at(run->moments.at(s_frame).handled_byte) + frames_in(settle_seconds);
  const std::size_t silence_to = music.frame_at(run->moments.at(m_again_frame).typed_byte);
  ASSERT_GE(silence_to, silence_from + frames_in(listening_seconds - 2 * settle_seconds));
  EXPECT_EQ(loudest(stereo_frames(music.samples, silence_from, silence_to - silence_from)), 0.0f);

  // Then the module again from its first sound, soon after "m".
  const std::optional<std::size_t> onset = first_audible_frame(music.samples, silence_to);
  ASSERT_TRUE(onset) << "no music after m";
  EXPECT_LE(*onset, music.frame_at(run->moments.at(m_again_frame).handled_byte) + frames_in(settle_seconds));
  const std::size_t length = frames_in(compared_seconds);
  ASSERT_GE(music.samples.size() / stereo, *onset + length);
  EXPECT_GE(likeness_to_the_module(music, *onset, length), same_music);
}

TEST_F(keys, escape_exits_0_without_presenting_another_frame) {
  constexpr int key_frame = 100;
  // A key typed during the hold reaches the program within a frame or two.
  constexpr int key_delay_frames = 5;
  show_data_folder folder("escape");
  running_show show = start_show(folder, {.hold_frames = {key_frame}});
  ASSERT_TRUE(press_keys_at(show, key_frame, {"Escape"}));
  const show_result result = finish_show(show, run_limit);

  ASSERT_TRUE(result.end.has_value()) << "still running after Escape";
  EXPECT_TRUE(result.end->exited_with(0)) << describe(*result.end) << '\n' << result.errors;
  const std::vector<probe_event> pressed = events_named(result.events, "key");
  ASSERT_EQ(pressed.size(), 1u);
  EXPECT_EQ(pressed[0].values.at(0), escape);
  EXPECT_LE(pressed[0].frame, key_frame + key_delay_frames);
  EXPECT_EQ(result.frames_presented, pressed[0].frame) << "frames presented after Escape";
  ASSERT_FALSE(result.events.empty());
  EXPECT_EQ(result.events.back().name, "exit");
  EXPECT_EQ(result.events.back().frame, pressed[0].frame);
}

}  // namespace
