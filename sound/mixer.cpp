// mixer.cpp: the list of playing songs behind one lock, and the mix that
// the audio thread reads from it a buffer at a time.
#include "sound/mixer.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <vector>

#include "sound/song.h"

namespace {

constexpr std::size_t scratch_frames = 1024;

// The show's thread and the audio thread both touch the list and the
// playing modules, so each holds the lock for the whole of its turn.
// These are destroyed at exit only after the audio device, opened later,
// has been closed and its thread has finished.
struct {
  std::mutex lock;
  std::vector<song*> playing;
  std::array<float, 2 * scratch_frames> scratch{};
} state;

bool is_playing(const song& song) {
  return std::find(state.playing.begin(), state.playing.end(), &song) != state.playing.end();
}

// The first song is rendered straight into the buffer: no silence to fill
// first, no copy to add. Songs repeat forever, so it fills the buffer; should
// one end, the rest is silence.
void render_song(song& song, std::span<float> interleaved_stereo, int mix_rate) {
  const std::size_t frames = interleaved_stereo.size() / 2;
  std::size_t done = 0;
  while (done < frames) {
    const std::size_t rendered =
        song.module->read_interleaved_stereo(mix_rate, frames - done, &interleaved_stereo[2 * done]);
    if (rendered == 0) break;
    done += rendered;
  }
  std::fill(interleaved_stereo.begin() + std::ptrdiff_t(2 * done), interleaved_stereo.end(), 0.0f);
}

void add_song(song& song, std::span<float> interleaved_stereo, int mix_rate) {
  for (std::size_t done = 0; done + 2 <= interleaved_stereo.size();) {
    const std::size_t frames = std::min(scratch_frames, (interleaved_stereo.size() - done) / 2);
    const std::size_t rendered = song.module->read_interleaved_stereo(mix_rate, frames, state.scratch.data());
    for (std::size_t i = 0; i < 2 * rendered; ++i) interleaved_stereo[done + i] += state.scratch[i];
    done += 2 * frames;
  }
}

}  // namespace

void start_song(song& song) {
  const std::scoped_lock guard(state.lock);
  if (is_playing(song)) return;
  song.module->set_position_seconds(0.0);
  state.playing.push_back(&song);
}

void stop_all_songs() {
  const std::scoped_lock guard(state.lock);
  state.playing.clear();
}

void mix_songs(std::span<float> interleaved_stereo, int mix_rate) {
  const std::scoped_lock guard(state.lock);
  if (state.playing.empty()) {
    std::fill(interleaved_stereo.begin(), interleaved_stereo.end(), 0.0f);
    return;
  }
  render_song(*state.playing.front(), interleaved_stereo, mix_rate);
  for (song* other : std::span(state.playing).subspan(1)) add_song(*other, interleaved_stereo, mix_rate);
  for (float& sample : interleaved_stereo) sample = std::clamp(sample, -1.0f, 1.0f);
}
