// playback_test.cpp: the four music calls on a real SDL device, SDL's disk
// driver, which records in real time what a sound card would be sent.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <map>

#include "sound/music.h"
#include "tests/sound/sound_bench.h"

namespace {

struct playback : testing::Test {
  void SetUp() override {
    ASSERT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "needs a process of its own, as ctest runs it";
    ASSERT_EQ(sound_init(music_mix_rate, 6, 0), 1);
    tune = kept(music_load_song(default_module.c_str()));
    ASSERT_NE(tune, nullptr);
  }

  disk_recording recording;  // built before SetUp, so SDL opens the disk driver
  song* tune = nullptr;
};

// `length` recorded samples from index `from` on; empty if there are fewer.
std::vector<float> recorded_span(const std::vector<float>& recorded, std::size_t from, std::size_t length) {
  if (from > recorded.size() || length > recorded.size() - from) return {};
  return {recorded.begin() + std::ptrdiff_t(from), recorded.begin() + std::ptrdiff_t(from + length)};
}

TEST_F(playback, plays_the_default_module_sample_for_sample_as_libopenmpt_renders_it) {
  const std::size_t frames_at_play = recording.frames_written();
  ASSERT_EQ(music_play_song(tune), 1);
  const std::vector<float> expected = clamped(render_default_module(frames_in_ms(2000)));
  ASSERT_TRUE(recording.wait_for_frames(frames_at_play + frames_in_ms(2100)));
  const std::vector<float> recorded = recording.samples();

  // The song starts at the beginning of a device buffer, after the silence
  // the device played before it.
  const std::size_t start = first_nonzero_sample(recorded) - first_nonzero_sample(expected);
  EXPECT_EQ(start % (2 * device_buffer_frames), 0u);
  EXPECT_EQ(recorded_span(recorded, start, expected.size()), expected);
}

// The disk driver writes one device buffer at a time, then waits as long as
// that buffer lasts: the file grows by whole buffers, now and then split in
// two by stdio's own buffering. The most frequent step is the buffer.
std::size_t buffer_frames_seen(const disk_recording& recording) {
  std::map<std::size_t, int> steps;
  std::size_t last = recording.frames_written();
  for (int poll = 0; poll < 300; ++poll) {
    wait_ms(1);
    const std::size_t now = recording.frames_written();
    if (now > last) ++steps[now - last];
    last = now;
  }
  const auto most_frequent = std::ranges::max_element(steps, {}, [](const auto& step) { return step.second; });
  return most_frequent == steps.end() ? SIZE_MAX : most_frequent->first;
}

TEST_F(playback, falls_silent_within_50_ms_of_a_stop) {
  music_play_song(tune);
  const std::size_t buffer_frames = buffer_frames_seen(recording);
  ASSERT_EQ(music_stop_all_songs(), 1);
  const std::size_t frames_at_stop = recording.frames_written();
  ASSERT_TRUE(recording.wait_for_frames(frames_at_stop + frames_in_ms(300)));
  const std::vector<float> recorded = recording.samples();

  // At the stop the device still had at most the buffer it was sent last to
  // play; anything recorded later with sound in it adds to that.
  ASSERT_LT(first_nonzero_sample(recorded), 2 * frames_at_stop) << "no sound before the stop";
  const std::size_t end_of_sound_frames = std::max(end_of_sound(recorded) / 2, frames_at_stop);
  const std::size_t frames_heard_after_stop = buffer_frames + end_of_sound_frames - frames_at_stop;
  EXPECT_LE(frames_heard_after_stop, frames_in_ms(50));
  RecordProperty("frames_heard_after_stop", static_cast<int>(frames_heard_after_stop));
}

TEST_F(playback, restarts_from_the_beginning_when_played_after_a_stop) {
  music_play_song(tune);
  wait_ms(700);
  music_stop_all_songs();
  wait_ms(200);
  const std::size_t frames_at_second_play = recording.frames_written();
  music_play_song(tune);
  const std::vector<float> expected = clamped(render_default_module(frames_in_ms(1000)));
  ASSERT_TRUE(recording.wait_for_frames(frames_at_second_play + frames_in_ms(1100)));
  const std::vector<float> recorded = recording.samples();

  const std::size_t restart =
      first_nonzero_sample(recorded, 2 * frames_at_second_play) - first_nonzero_sample(expected);
  const std::vector<float> replayed = recorded_span(recorded, restart, expected.size());
  ASSERT_EQ(replayed.size(), expected.size());

  // On the jump back, libopenmpt fades out the notes the stop had frozen
  // over a few milliseconds, far below hearing; after that, every sample is
  // the song's own.
  const std::size_t fade = 2 * frames_in_ms(20);
  float largest_difference = 0.0f;
  for (std::size_t i = 0; i < fade; ++i)
    largest_difference = std::max(largest_difference, std::abs(replayed[i] - expected[i]));
  EXPECT_LE(largest_difference, 1e-4f);  // -80 dBFS
  EXPECT_TRUE(std::equal(replayed.begin() + fade, replayed.end(), expected.begin() + fade));
}

TEST_F(playback, goes_on_undisturbed_when_played_while_playing) {
  const std::size_t frames_at_play = recording.frames_written();
  music_play_song(tune);
  wait_ms(700);
  ASSERT_EQ(music_play_song(tune), 1);
  const std::vector<float> expected = clamped(render_default_module(frames_in_ms(1500)));
  ASSERT_TRUE(recording.wait_for_frames(frames_at_play + frames_in_ms(1600)));
  const std::vector<float> recorded = recording.samples();

  const std::size_t start = first_nonzero_sample(recorded) - first_nonzero_sample(expected);
  EXPECT_EQ(recorded_span(recorded, start, expected.size()), expected);
}

// SDL's audio starts its event subsystem, which would catch these signals
// for an event queue that nobody reads.
TEST_F(playback, leaves_ctrl_c_and_termination_to_their_default_handling) {
  for (const int signal_number : {SIGINT, SIGTERM}) {
    struct sigaction action {};
    sigaction(signal_number, nullptr, &action);
    EXPECT_EQ(action.sa_handler, SIG_DFL) << "signal " << signal_number;
  }
}

}  // namespace
