// sound_cost.cpp: the CPU time of mixing a module for 60 seconds, two ways:
// through the sound layer (its mixer, one device buffer at a time, as SDL's
// audio thread asks for it) and by libopenmpt straight into one buffer.
// Usage: sound_cost MODULE [ROUNDS]
//        prints "loaded <kB> <ms>", the heap and the wall time that loading the
//        module took (the first module in a process), then
//        "round <sound layer ms> <libopenmpt ms>" for each round
#include <malloc.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <libopenmpt/libopenmpt.hpp>
#include <sstream>
#include <vector>

#include "sound/mixer.h"
#include "sound/music.h"
#include "sound/song.h"

namespace {

constexpr std::size_t seconds = 60;
constexpr std::size_t frames = seconds * music_mix_rate;
constexpr std::size_t device_buffer_frames = 1024;  // what the sound layer asks SDL for
constexpr int default_rounds = 7;

double thread_cpu_ms() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

template <typename work>
double cpu_ms_of(work run) {
  const double start = thread_cpu_ms();
  run();
  return thread_cpu_ms() - start;
}

// As the audio thread does it: the song started, then a buffer at a time.
double sound_layer_ms(song& music, std::vector<float>& stereo) {
  stop_all_songs();
  start_song(music);  // from the beginning
  return cpu_ms_of([&] {
    for (std::size_t done = 0; done < frames; done += device_buffer_frames) {
      const std::size_t count = std::min(device_buffer_frames, frames - done);
      mix_songs(std::span(stereo).subspan(2 * done, 2 * count), music_mix_rate);
    }
  });
}

double libopenmpt_ms(openmpt::module& module, std::vector<float>& stereo) {
  module.set_position_seconds(0.0);
  return cpu_ms_of([&] {
    for (std::size_t done = 0; done < frames;) {
      const std::size_t rendered =
          module.read_interleaved_stereo(music_mix_rate, frames - done, stereo.data() + 2 * done);
      if (rendered == 0) break;
      done += rendered;
    }
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: sound_cost MODULE [ROUNDS]\n", stderr);
    return 2;
  }
  const int rounds = argc > 2 ? std::atoi(argv[2]) : default_rounds;
  const std::size_t heap_before = mallinfo2().uordblks;
  const auto load_start = std::chrono::steady_clock::now();
  song* music = load_song(argv[1]);
  const std::chrono::duration<double, std::milli> load_time = std::chrono::steady_clock::now() - load_start;
  std::printf("loaded %zu %.2f\n", (mallinfo2().uordblks - heap_before) / 1024, load_time.count());
  std::ifstream file(argv[1], std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (music == nullptr || bytes.empty()) {
    std::fprintf(stderr, "sound_cost: cannot load %s\n", argv[1]);
    return 1;
  }
  std::ostringstream quiet_log;
  openmpt::module module(bytes, quiet_log);
  module.set_repeat_count(-1);  // as the sound layer loads it

  std::vector<float> stereo(2 * frames);
  for (int round = 0; round < rounds; ++round) {
    // Alternating which goes first, so neither always finds the caches warm.
    double layer = 0, direct = 0;
    if (round % 2 == 0) {
      layer = sound_layer_ms(*music, stereo);
      direct = libopenmpt_ms(module, stereo);
    } else {
      direct = libopenmpt_ms(module, stereo);
      layer = sound_layer_ms(*music, stereo);
    }
    std::printf("round %.3f %.3f\n", layer, direct);
  }
  return 0;
}
