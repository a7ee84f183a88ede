// native_mix.cpp: writes the first seconds of a module to standard output as
// the desktop show's sound layer mixes them, 32-bit float interleaved stereo,
// in buffers of the given size. The reference for the browser's mixer.
// (libopenmpt's last bits depend on how a render is cut into buffers.)
// Usage: native_mix MODULE SECONDS MIX_RATE BUFFER_FRAMES
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "sound/mixer.h"
#include "sound/song.h"

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  song* module = load_song(argv[1]);
  if (module == nullptr) return 1;
  const long mix_rate = std::atol(argv[3]);
  const long frames = std::atol(argv[2]) * mix_rate;
  const long buffer_frames = std::atol(argv[4]);
  if (mix_rate <= 0 || frames <= 0 || buffer_frames <= 0) return 2;
  std::vector<float> buffer(2 * buffer_frames);
  start_song(*module);
  for (long done = 0; done < frames; done += buffer_frames) {
    mix_songs(buffer, static_cast<int>(mix_rate));
    const long keep = std::min(buffer_frames, frames - done);
    std::fwrite(buffer.data(), sizeof(float), 2 * keep, stdout);
  }
  return 0;
}
