// audio_track.cpp: libopenmpt renders the module from its start; the samples
// before the captured stretch are rendered too and dropped, so a stretch that
// begins after the loop point sounds exactly as it does in the show.
#include "capture/audio_track.h"

#include <algorithm>
#include <fstream>
#include <libopenmpt/libopenmpt.hpp>
#include <memory>
#include <ostream>

namespace {

constexpr std::int32_t repeat_forever = -1;
constexpr std::int64_t block_frames = 4096;

std::unique_ptr<openmpt::module> load_module(const std::filesystem::path& file, std::ostream& log) {
  std::ifstream stream(file, std::ios::binary);
  if (!stream) return nullptr;
  try {
    auto module = std::make_unique<openmpt::module>(stream, log);
    module->set_repeat_count(repeat_forever);
    return module;
  } catch (...) {  // not a module libopenmpt can read: the show stays silent too
    return nullptr;
  }
}

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
  std::ostream quiet_log(nullptr);  // libopenmpt's warnings are not the user's business here
  const auto module = load_module(module_file, quiet_log);
  if (!module) return samples;

  // Blocks always start at multiples of block_frames from the module's start, so
  // any stretch holds exactly the samples of one long rendering (libopenmpt's
  // output differs in the last bit where its blocks are cut differently).
  std::vector<float> block(block_frames * audio_channels);
  const std::int64_t end = first + count;
  for (std::int64_t start = 0; start < end; start += block_frames) {
    render_block(*module, block);
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
