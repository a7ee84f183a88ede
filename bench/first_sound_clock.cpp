// first_sound_clock.cpp: reads a recording of a sink's monitor as it arrives
// (raw stereo float32 from parec on standard input) and prints the monotonic
// clock's time at which its first sound reached the sink: "first_sound <ns>".
// With the frame clock's times of the same run, that tells where the music is
// against the picture's step (music_offset.awk).
// Usage: parec --raw --format=float32le --channels=2 ... | first_sound_clock RATE
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/preload.h"

namespace {
constexpr float silence = 1e-4f;  // the null sink passes the mix unchanged: silence is 0
constexpr std::size_t channels = 2;
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: first_sound_clock RATE < recording\n", stderr);
    return 2;
  }
  const double rate = std::atof(argv[1]);
  std::vector<float> block(4096);
  ssize_t count = 0;
  while ((count = read(STDIN_FILENO, block.data(), block.size() * sizeof(float))) > 0) {
    const std::int64_t arrived = monotonic_ns();
    const std::size_t samples = std::size_t(count) / sizeof(float);
    for (std::size_t at = 0; at < samples; ++at) {
      if (std::fabs(block[at]) <= silence) continue;
      // The block's last frame arrived with it; earlier frames reached the sink earlier.
      const double frames_before_end = double(samples - at) / channels - 1;
      std::printf("first_sound %lld\n", static_cast<long long>(arrived - std::llround(frames_before_end * 1e9 / rate)));
      return 0;
    }
  }
  return 1;  // no sound came
}
