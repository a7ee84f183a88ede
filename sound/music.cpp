// music.cpp: the show's four music calls on top of the device, the mixer and
// song loading. Each call catches what the layers below may throw.
#include "sound/music.h"

#include "sound/audio_device.h"
#include "sound/mixer.h"
#include "sound/song.h"

// libopenmpt mixes all of a module's channels itself, so max_channels needs
// no reservation here; no flags are defined.
int sound_init(int mix_rate, [[maybe_unused]] int max_channels, [[maybe_unused]] unsigned flags) {
  try {
    return open_audio_device(mix_rate) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

// Works with or without a device: a song loaded without one simply stays silent.
song* music_load_song(const char* file_name) { return load_song(file_name); }

int music_play_song(song* song) {
  if (song == nullptr) return 0;
  try {
    start_song(*song);
    return 1;
  } catch (...) {
    return 0;
  }
}

int music_stop_all_songs() {
  try {
    stop_all_songs();
    return 1;
  } catch (...) {
    return 0;
  }
}
