// race_test.cpp: built with ThreadSanitizer. The show's thread starts and
// stops songs as fast as it can while the audio thread mixes them; any data
// race between the two is reported and fails the run.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "sound/music.h"
#include "tests/sound/sound_bench.h"

TEST(racing, play_and_stop_hammered_against_the_audio_thread_share_nothing_unguarded) {
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
  setenv("SDL_DISKAUDIODELAY", "0", 1);  // the audio thread mixes without pause
  ASSERT_EQ(sound_init(music_mix_rate, 6, 0), 1);
  song* first = kept(music_load_song(default_module.c_str()));
  song* second = kept(music_load_song(default_module.c_str()));
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);

  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  int rounds = 0;
  for (; std::chrono::steady_clock::now() < end; ++rounds) {
    music_play_song(first);
    if (rounds % 3 == 0) music_play_song(second);
    music_play_song(first);
    if (rounds % 5 == 0) music_stop_all_songs();
  }
  music_stop_all_songs();
  RecordProperty("rounds", rounds);
  EXPECT_GT(rounds, 100);
}
