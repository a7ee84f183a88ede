// worklet_mixer.cpp: the sound layer inside the page's AudioWorklet. The
// worklet is the audio device: it asks for each block of samples, which the
// show's own mixer renders from the show's own music calls.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <span>

#include "assets/show_pictures.h"
#include "sound/audio_device.h"
#include "sound/mixer.h"
#include "sound/music.h"
#include "sound/song.h"

namespace {

constexpr int music_channels = 6;
constexpr unsigned music_flags = 0;
constexpr int stereo = 2;

struct {
  int mix_rate = 0;
  song* song = nullptr;  // loaded once, never released
} worklet;

}  // namespace

// There is nothing to open: the worklet pulls samples at the rate it was given.
bool open_audio_device(int mix_rate) {
  worklet.mix_rate = mix_rate;
  return mix_rate > 0;
}

extern "C" {

// Start-up: the sound system at the page's rate, and the module from the
// worklet's file system, loaded but not yet playing. Returns 0 without a song.
EMSCRIPTEN_KEEPALIVE int worklet_open(int mix_rate) {
  sound_init(mix_rate, music_channels, music_flags);
  worklet.song = music_load_song(music_file_name);
  return worklet.song != nullptr ? 1 : 0;
}

// The show's start and its "m" key: a stopped song starts from its beginning.
EMSCRIPTEN_KEEPALIVE void worklet_play() { music_play_song(worklet.song); }

// The show's "s" key and its end.
EMSCRIPTEN_KEEPALIVE void worklet_stop() { music_stop_all_songs(); }

// Fills frames of interleaved stereo samples, as the desktop's audio callback does.
EMSCRIPTEN_KEEPALIVE void worklet_mix(float* interleaved_stereo, int frames) {
  const std::span samples{interleaved_stereo, static_cast<std::size_t>(frames) * stereo};
  try {
    mix_songs(samples, worklet.mix_rate);
  } catch (...) {
    std::fill(samples.begin(), samples.end(), 0.0f);
  }
}

// Where the song is, in seconds from its beginning (0 without a song).
EMSCRIPTEN_KEEPALIVE double worklet_position() {
  return worklet.song != nullptr ? worklet.song->module->get_position_seconds() : 0.0;
}
}
