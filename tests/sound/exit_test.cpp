// exit_test.cpp: the show ends with exit(0) while the music plays and
// releases nothing first. Child processes do exactly that, many times over,
// at moments spread across the audio thread's work.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "sound/music.h"
#include "tests/sound/sound_bench.h"

namespace {

[[noreturn]] void play_then_exit(song* tune, int milliseconds) {
  // No pause between buffers: the audio thread is mixing almost all the time.
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
  setenv("SDL_DISKAUDIODELAY", "0", 1);
  sound_init(music_mix_rate, 6, 0);
  music_play_song(tune);
  wait_ms(milliseconds);
  std::exit(0);
}

TEST(exiting, while_the_music_plays_never_crashes_in_100_runs) {
  ASSERT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "needs a process of its own, as ctest runs it";
  // Loaded once, before any thread exists; every child inherits it.
  song* tune = kept(music_load_song(default_module.c_str()));
  ASSERT_NE(tune, nullptr);
  for (int child = 0; child < 100; ++child) {
    std::fflush(nullptr);  // or each child would print the test's pending output again
    const pid_t pid = fork();
    ASSERT_NE(pid, -1);
    if (pid == 0) play_then_exit(tune, child % 20);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "run " << child << (WIFSIGNALED(status) ? " died of signal " : " exited with ")
        << (WIFSIGNALED(status) ? WTERMSIG(status) : WEXITSTATUS(status));
  }
}

}  // namespace
