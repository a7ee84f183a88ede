// audio_device.cpp: owns the SDL audio device. It is opened once and closed
// at exit, before anything its audio thread reads is destroyed.
#include "sound/audio_device.h"

#include <SDL.h>
#include <errno.h>

#include <algorithm>
#include <cstdio>
#include <span>

#include "sound/mixer.h"

namespace {

// 1024 frames last 23 ms at 44.1 kHz, so a stop is heard within one buffer.
constexpr Uint16 buffer_frames = 1024;
constexpr Uint8 stereo = 2;

// The show plays on silently without a device; it says why, in SDL's words.
void report_no_sound() {
  std::fprintf(stderr, "%s: no sound: %s\n", program_invocation_short_name, SDL_GetError());
}

// Runs on SDL's audio thread.
void SDLCALL fill_buffer(void* mix_rate, Uint8* stream, int length) {
  const std::span samples{reinterpret_cast<float*>(stream), static_cast<std::size_t>(length) / sizeof(float)};
  try {
    mix_songs(samples, *static_cast<const int*>(mix_rate));
  } catch (...) {  // nothing may unwind into SDL: play silence instead
    std::ranges::fill(samples, 0.0f);
  }
}

struct audio_device {
  int mix_rate = 0;
  SDL_AudioDeviceID id = 0;

  explicit audio_device(int rate) : mix_rate(rate) {
    // Audio brings up SDL's event subsystem, which would otherwise catch
    // Ctrl+C and termination for an event queue that nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (mix_rate <= 0) return;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      report_no_sound();
      return;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = mix_rate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = stereo;
    wanted.samples = buffer_frames;
    wanted.callback = fill_buffer;
    wanted.userdata = &mix_rate;
    // No changes allowed: SDL converts to whatever the hardware takes.
    id = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (id == 0) {
      report_no_sound();
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return;
    }
    SDL_PauseAudioDevice(id, 0);
  }

  // Runs at exit, before the mixer's state is destroyed (that was built
  // before this device). Closing waits for a running callback to finish.
  ~audio_device() {
    if (id == 0) return;
    SDL_CloseAudioDevice(id);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  audio_device(const audio_device&) = delete;
  audio_device& operator=(const audio_device&) = delete;
};

}  // namespace

bool open_audio_device(int mix_rate) {
  static const audio_device device(mix_rate);
  return device.id != 0;
}
