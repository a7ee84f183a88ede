// sound_clock.cpp: the probe's sound clock. Notes when each key reaches the
// program and when each buffer of sound has been mixed for the device, and
// whether it was silent, so the bench can tell how soon "s" is heard.
//
//   BENCH_SOUND_TIMES  the file, written at exit: "key <code> <ns>" and
//                      "buffer <ns> <1 if silent, else 0>" lines
#include <GL/freeglut.h>
#include <SDL_audio.h>

#include <algorithm>
#include <array>
#include <atomic>

#include "bench/preload.h"

namespace {

constexpr std::size_t most_buffers = 16384;  // about six minutes of 1024-frame buffers
constexpr std::size_t most_keys = 256;

using keyboard_callback = void (*)(unsigned char, int, int);

struct buffer_note {
  std::int64_t ns;
  int silent;
};

struct key_note {
  std::int64_t ns;
  int code;
};

// The buffers are noted on SDL's audio thread, the keys on the drawing thread;
// both are read at exit, after the device has been closed.
struct {
  SDL_AudioCallback fill = nullptr;
  std::array<buffer_note, most_buffers> buffers{};
  std::atomic<std::size_t> buffer_count = 0;
  keyboard_callback keyboard = nullptr;
  std::array<key_note, most_keys> keys{};
  std::size_t key_count = 0;
} sound_state;

void SDLCALL timed_fill(void* userdata, Uint8* stream, int length) {
  sound_state.fill(userdata, stream, length);
  const bool silent = std::all_of(stream, stream + length, [](Uint8 byte) { return byte == 0; });
  const std::size_t index = sound_state.buffer_count.load(std::memory_order_relaxed);
  if (index == most_buffers) return;
  sound_state.buffers[index] = {monotonic_ns(), silent ? 1 : 0};
  sound_state.buffer_count.store(index + 1, std::memory_order_release);
}

void timed_key(unsigned char key, int x, int y) {
  if (sound_state.key_count < most_keys) sound_state.keys[sound_state.key_count++] = {monotonic_ns(), key};
  sound_state.keyboard(key, x, y);
}

void write_times() {
  std::FILE* file = open_report("BENCH_SOUND_TIMES");
  if (file == nullptr) return;
  for (std::size_t i = 0; i < sound_state.key_count; ++i)
    std::fprintf(file, "key %d %lld\n", sound_state.keys[i].code, static_cast<long long>(sound_state.keys[i].ns));
  const std::size_t buffers = sound_state.buffer_count.load(std::memory_order_acquire);
  for (std::size_t i = 0; i < buffers; ++i)
    std::fprintf(file, "buffer %lld %d\n", static_cast<long long>(sound_state.buffers[i].ns),
                 sound_state.buffers[i].silent);
  std::fclose(file);
}

// Runs as the library loads, before the program's main; so the times are
// written after everything the program set up has been torn down.
bool start_clock() {
  if (std::getenv("BENCH_SOUND_TIMES") == nullptr) return false;
  std::atexit(write_times);
  return true;
}
[[maybe_unused]] const bool clock_started = start_clock();

}  // namespace

extern "C" {

void glutKeyboardFunc(keyboard_callback callback) {
  static auto* const set = next_definition<void(keyboard_callback)>("glutKeyboardFunc");
  sound_state.keyboard = callback;
  set(callback != nullptr ? timed_key : nullptr);
}

SDL_AudioDeviceID SDL_OpenAudioDevice(const char* device, int capture, const SDL_AudioSpec* desired,
                                      SDL_AudioSpec* obtained, int allowed_changes) {
  static auto* const open_device =
      next_definition<SDL_AudioDeviceID(const char*, int, const SDL_AudioSpec*, SDL_AudioSpec*, int)>(
          "SDL_OpenAudioDevice");
  if (desired == nullptr || desired->callback == nullptr)
    return open_device(device, capture, desired, obtained, allowed_changes);
  SDL_AudioSpec timed = *desired;
  sound_state.fill = desired->callback;
  timed.callback = timed_fill;
  return open_device(device, capture, &timed, obtained, allowed_changes);
}

}  // extern "C"
