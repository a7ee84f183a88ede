// module_fuzzer.cpp: any bytes, read as a music file, load as a song or as
// nothing without a crash; a song that loads is played for a moment through the mixer.
#include <array>
#include <cmath>
#include <cstdint>
#include <span>

#include "sound/mixer.h"
#include "sound/music.h"
#include "sound/song.h"
#include "tests/fuzz/fuzz_input.h"

constexpr std::size_t mixed_frames = 4096;  // about a tenth of a second

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  song* loaded = music_load_song(input_as_file({data, size}));
  if (size == 0) require(loaded == nullptr, "an empty file gives no song");
  if (loaded == nullptr) return 0;

  static std::array<float, 2 * mixed_frames> mixed;
  require(music_play_song(loaded) == 1, "a loaded song plays");
  mix_songs(mixed, music_mix_rate);
  for (const float sample : mixed) require(std::abs(sample) <= 1.0f, "the mix stays within [-1, 1]");
  require(music_stop_all_songs() == 1, "the songs stop");
  // The show keeps its one song for good; the fuzzer loads millions, so frees each.
  delete loaded;
  return 0;
}
