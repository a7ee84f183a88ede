// mixer_test.cpp: the mix the audio thread plays, driven directly without a
// device: silence, songs adding up, a song that never ends. (Playing, stopping
// and restarting are tested through a device in playback_test.cpp.)
#include "sound/mixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "sound/song.h"
#include "tests/sound/sound_bench.h"

namespace {

// Mixes the given number of frames, a device buffer at a time.
std::vector<float> mix(std::size_t frames) {
  std::vector<float> samples(2 * frames, 0.5f);  // not silence, so the mixer must write every sample
  for (std::size_t done = 0; done < frames; done += device_buffer_frames)
    mix_songs(std::span(samples).subspan(2 * done, 2 * std::min(device_buffer_frames, frames - done)), music_mix_rate);
  return samples;
}

song& loaded_default_module() {
  song* loaded = kept(load_song(default_module.c_str()));
  if (loaded == nullptr) throw std::runtime_error("cannot load " + default_module.string());
  return *loaded;
}

struct mixing : testing::Test {
  void SetUp() override { stop_all_songs(); }
};

TEST_F(mixing, plays_silence_when_no_song_plays) {
  EXPECT_EQ(mix(frames_in_ms(100)), std::vector<float>(2 * frames_in_ms(100), 0.0f));
  start_song(loaded_default_module());
  mix(frames_in_ms(500));
  stop_all_songs();
  EXPECT_EQ(mix(frames_in_ms(100)), std::vector<float>(2 * frames_in_ms(100), 0.0f));
}

TEST_F(mixing, adds_songs_that_play_together_and_clamps_the_sum_to_full_scale) {
  const std::vector<float> one = render_default_module(frames_in_ms(2000));
  const float peak = std::abs(std::ranges::max(one, {}, [](float s) { return std::abs(s); }));
  ASSERT_GT(peak, 0.01f);
  const int copies = static_cast<int>(1.0f / peak) + 2;  // together past full scale
  std::vector<float> sum(one.size(), 0.0f);
  for (int i = 0; i < copies; ++i) {
    start_song(loaded_default_module());
    std::ranges::transform(sum, one, sum.begin(), std::plus<>());
  }

  const std::vector<float> mixed = mix(frames_in_ms(2000));
  EXPECT_EQ(mixed, clamped(sum));
  EXPECT_GT(std::ranges::count(mixed, 1.0f) + std::ranges::count(mixed, -1.0f), 0) << "nothing reached full scale";
}

TEST_F(mixing, keeps_playing_past_the_end_of_the_module) {
  song& tune = loaded_default_module();
  const double duration = tune.module->get_duration_seconds();
  start_song(tune);
  // Past the end and past the last notes' fading tails.
  mix(static_cast<std::size_t>(std::ceil(duration * music_mix_rate)) + frames_in_ms(1000));
  const std::vector<float> a_second_later = mix(frames_in_ms(1000));
  EXPECT_GT(std::ranges::count_if(a_second_later, [](float s) { return std::abs(s) > 0.01f; }), 1000)
      << "silent a second after the module's end at " << duration << " s";
}

}  // namespace
