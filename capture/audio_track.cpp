// audio_track.cpp: libopenmpt renders the module from its start; the samples
// before the captured stretch are rendered too and dropped, so a stretch that
// begins after the loop point sounds exactly as it does in the show.
#include "capture/audio_track.h"

#include <errno.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "sound/module_file.h"

namespace {

constexpr std::int64_t block_frames = 4096;

// Fills out (interleaved stereo) with the module's next samples; should the
// module ever give fewer, the rest keeps what it held.
void render_block(openmpt::module& module, std::span<float> out) {
  const auto frames = out.size() / audio_channels;
  module.read_interleaved_stereo(audio_rate, frames, out.data());
}

}  // namespace

std::int64_t audio_sample_at_frame(int frame, int fps) {
  // Rounded to the nearest sample; exact whenever fps divides the rate, as 60 does.
  return ((std::int64_t(frame) - 1) * audio_rate * 2 + fps) / (2 * std::int64_t(fps));
}

std::vector<float> render_music(const std::filesystem::path& module_file, std::int64_t first, std::int64_t count) {
  std::vector<float> samples(std::size_t(count) * audio_channels, 0.0f);
  // Read as the show reads it, so the video sounds as the show does: silent
  // where the show is, and saying why, as the show does.
  const module_read read = read_module(module_file.c_str());
  if (!read.module) {
    std::fprintf(stderr, "%s: no music: %s\n", program_invocation_short_name, read.problem.c_str());
    return samples;
  }
  openmpt::module& module = *read.module;

  // Blocks always start at multiples of block_frames from the module's start, so
  // any stretch holds exactly the samples of one long rendering (libopenmpt's
  // output differs in the last bit where its blocks are cut differently).
  std::vector<float> block(block_frames * audio_channels);
  const std::int64_t end = first + count;
  for (std::int64_t start = 0; start < end; start += block_frames) {
    render_block(module, block);
    const std::int64_t from = std::max(start, first);
    const std::int64_t to = std::min(start + block_frames, end);
    if (from >= to) continue;
    std::copy(block.begin() + (from - start) * audio_channels, block.begin() + (to - start) * audio_channels,
              samples.begin() + (from - first) * audio_channels);
  }
  // The sound layer clamps its mix to the range the audio device takes.
  for (float& sample : samples) sample = std::clamp(sample, -1.0f, 1.0f);
  return samples;
}

std::string write_raw_samples(const std::filesystem::path& file, std::span<const float> samples) {
  std::ofstream stream(file, std::ios::binary | std::ios::trunc);
  stream.write(reinterpret_cast<const char*>(samples.data()), std::streamsize(samples.size_bytes()));
  stream.close();
  if (!stream) return "cannot write the music to " + file.string();
  return {};
}
