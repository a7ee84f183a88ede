// music_test.cpp: the music the running show sends to the sound device (SDL's
// disk driver), compared with the module rendered by libopenmpt directly.
#include "sound/music.h"

#include <gtest/gtest.h>

#include <thread>

#include "tests/e2e/music_capture.h"
#include "tests/e2e/show_expectations.h"
#include "tests/e2e/show_run.h"
#include "tests/e2e/x_server_fixture.h"
#include "tests/support/disk_audio.h"

namespace {

constexpr auto event_limit = std::chrono::seconds(60);
constexpr auto capture_poll_interval = std::chrono::milliseconds(10);
constexpr int stereo = 2;

// How much music the capture gains while the show is held at each step. The
// disk driver writes at about the pace of a real device, a little slower
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

std::size_t frames_in(double seconds) { return std::size_t(seconds * music_mix_rate); }

struct capture {
  capture_format format;
  std::vector<float> samples;  // interleaved stereo
  std::size_t frames() const { return samples.size() / stereo; }
  std::size_t frame_at(std::size_t byte) const { return byte / bytes_per_frame(format); }
  std::span<const float> span(std::size_t first_frame, std::size_t count) const {
    return stereo_frames(samples, first_frame, count);
  }
};

capture read_music(const show_result& result) {
  capture music;
  const std::optional<capture_format> format = capture_format_of(result.events);
  if (!format) return music;
  music.format = *format;
  music.samples = read_disk_audio(result.capture, format->sdl_format);
  return music;
}

void expect_float_stereo_at_mix_rate(const capture& music) {
  EXPECT_EQ(music.format.rate, music_mix_rate);
  EXPECT_EQ(music.format.sdl_format, sdl_float_samples);
  EXPECT_EQ(music.format.channels, stereo);
}

// Lets the music play on, while the show is held, until the capture has grown
// by that many seconds of sound. False if it does not grow in time.
bool listen(const running_show& show, double seconds) {
  const std::optional<capture_format> format = capture_format_of(read_events(show.folder));
  if (!format) return false;
  const std::size_t wanted = captured_bytes(show) + frames_in(seconds) * bytes_per_frame(*format);
  const auto deadline = std::chrono::steady_clock::now() + event_limit;
  while (captured_bytes(show) < wanted) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(capture_poll_interval);
  }
  return true;
}

// The module from its beginning, rendered once for all comparisons.
const std::vector<float>& module_start() {
  static const std::vector<float> rendered = render_show_module(music_mix_rate, frames_in(30.0));
  return rendered;
}

std::span<const float> module_span(std::size_t first_frame, std::size_t count) {
  return stereo_frames(module_start(), first_frame, count);
}

using music = on_x_server;

TEST_F(music, plays_the_module_from_its_start_unbroken_through_m_while_playing_and_upper_case_m_and_s) {
  show_data_folder folder("music-on");
  running_show show = start_show(folder, {.hold_frames = {100, 200, 300, 400}});
  std::size_t last_key_byte = 0;
  for (const auto& [frame, key] : {std::pair{100, "m"}, {200, "shift+m"}, {300, "shift+s"}, {400, "Escape"}}) {
    ASSERT_TRUE(wait_for_hold(show, frame, event_limit));
    ASSERT_TRUE(listen(show, listening_seconds));
    last_key_byte = captured_bytes(show);
    ASSERT_TRUE(press_keys_at(show, frame, {key}));
  }
  const show_result result = finish_show(show, run_limit);
  ASSERT_TRUE(result.end && result.end->exited_with(0)) << result.errors;

  const capture music = read_music(result);
  expect_float_stereo_at_mix_rate(music);
  const std::optional<std::size_t> onset = first_audible_frame(music.samples, 0);
  const std::optional<std::size_t> module_onset = first_audible_frame(module_start(), 0);
  ASSERT_TRUE(onset && module_onset) << "no music captured";

  // From its first sound to Escape, the capture is the module played once
  // through, including what followed "m", "M" and "S".
  const std::size_t length = music.frame_at(last_key_byte) - *onset;
  ASSERT_GE(length, frames_in(3 * listening_seconds));
  const double least =
      least_similarity(music.span(*onset, length), module_span(*module_onset, length), stereo * window_frames);
  EXPECT_GE(least, same_music);
}

TEST_F(music, s_silences_the_music_and_m_brings_it_back_from_the_start) {
  show_data_folder folder("music-s-m");
  running_show show = start_show(folder, {.hold_frames = {100, 200, 300}});

  ASSERT_TRUE(wait_for_hold(show, 100, event_limit));
  ASSERT_TRUE(listen(show, listening_seconds));
  ASSERT_TRUE(press_keys_at(show, 100, {"s"}));
  ASSERT_TRUE(wait_for_event(show, "key", 's', event_limit));
  const std::size_t stopped_byte = captured_bytes(show);

  ASSERT_TRUE(wait_for_hold(show, 200, event_limit));
  ASSERT_TRUE(listen(show, listening_seconds));
  const std::size_t silence_end_byte = captured_bytes(show);
  ASSERT_TRUE(press_keys_at(show, 200, {"m"}));
  ASSERT_TRUE(wait_for_event(show, "key", 'm', event_limit));
  const std::size_t restarted_byte = captured_bytes(show);

  ASSERT_TRUE(wait_for_hold(show, 300, event_limit));
  ASSERT_TRUE(listen(show, compared_seconds + 2 * settle_seconds));
  ASSERT_TRUE(press_keys_at(show, 300, {"Escape"}));
  const show_result result = finish_show(show, run_limit);
  ASSERT_TRUE(result.end && result.end->exited_with(0)) << result.errors;

  const capture music = read_music(result);
  expect_float_stereo_at_mix_rate(music);
  const std::optional<std::size_t> module_onset = first_audible_frame(module_start(), 0);
  ASSERT_TRUE(module_onset);

  // Silence from shortly after "s" until "m".
  const std::size_t silence_from = music.frame_at(stopped_byte) + frames_in(settle_seconds);
  const std::size_t silence_to = music.frame_at(silence_end_byte);
  ASSERT_GE(silence_to, silence_from + frames_in(listening_seconds - 2 * settle_seconds));
  EXPECT_EQ(loudest(music.span(silence_from, silence_to - silence_from)), 0.0f);

  // Then the module again from its first sound, soon after "m".
  const std::optional<std::size_t> onset = first_audible_frame(music.samples, silence_to);
  ASSERT_TRUE(onset) << "no music after m";
  EXPECT_LE(*onset, music.frame_at(restarted_byte) + frames_in(settle_seconds));
  const std::size_t length = frames_in(compared_seconds);
  ASSERT_GE(music.frames(), *onset + length);
  const double least =
      least_similarity(music.span(*onset, length), module_span(*module_onset, length), stereo * window_frames);
  EXPECT_GE(least, same_music);
}

}  // namespace
