// music_capture.cpp: decoding SDL's raw sample formats, rendering the reference
// with libopenmpt, and the measures the music tests compare with.
#include "tests/e2e/music_capture.h"

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

// SDL's little-endian sample formats (SDL_audio.h).
constexpr int audio_s16lsb = 0x8010;
constexpr int audio_s32lsb = 0x8020;
constexpr int audio_f32lsb = 0x8120;

constexpr float audible = 1e-4f;  // -80 dBFS
constexpr double silent_energy = 1e-9;
constexpr std::size_t render_block = 4096;

template <typename sample>
std::vector<float> decode(const std::string& bytes, float scale) {
  std::vector<float> samples(bytes.size() / sizeof(sample));
  for (std::size_t i = 0; i < samples.size(); ++i) {
    sample value;
    std::memcpy(&value, bytes.data() + i * sizeof(sample), sizeof(sample));
    samples[i] = float(value) * scale;
  }
  return samples;
}

}  // namespace

std::optional<capture_format> capture_format_of(const std::vector<probe_event>& events) {
  for (const probe_event& event : events_named(events, "audio")) {
    if (event.values.size() == 4)
      return capture_format{int(event.values[0]), int(event.values[1]), int(event.values[2]), int(event.values[3])};
  }
  return std::nullopt;
}

std::size_t bytes_per_frame(const capture_format& format) {
  return std::size_t(format.channels) * ((format.sdl_format & 0xff) / 8);
}

std::vector<float> read_capture(const std::filesystem::path& file, const capture_format& format) {
  std::ifstream in(file, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  switch (format.sdl_format) {
    case audio_f32lsb: return decode<float>(bytes, 1.0f);
    case audio_s16lsb: return decode<std::int16_t>(bytes, 1.0f / 32768.0f);
    case audio_s32lsb: return decode<std::int32_t>(bytes, 1.0f / 2147483648.0f);
    default: return {};
  }
}

std::vector<float> render_module_start(std::string_view module_bytes, int rate, std::size_t frames) {
  std::ostringstream quiet_log;
  openmpt::module module(module_bytes.data(), module_bytes.size(), quiet_log);
  module.set_repeat_count(-1);  // as the show plays it: looping forever
  std::vector<float> stereo(2 * frames, 0.0f);
  for (std::size_t done = 0; done < frames;) {
    const std::size_t count = std::min(render_block, frames - done);
    const std::size_t rendered = module.read_interleaved_stereo(rate, count, stereo.data() + 2 * done);
    if (rendered == 0) break;  // the module ended: the rest stays silent
    done += rendered;
  }
  // The show's mix stops at full scale; so does the reference.
  for (float& sample : stereo) sample = std::clamp(sample, -1.0f, 1.0f);
  return stereo;
}

std::optional<std::size_t> first_sound(std::span<const float> stereo, std::size_t from_frame) {
  for (std::size_t i = 2 * from_frame; i < stereo.size(); ++i) {
    if (std::fabs(stereo[i]) > audible) return i / 2;
  }
  return std::nullopt;
}

float loudest(std::span<const float> samples) {
  float peak = 0.0f;
  for (const float sample : samples) peak = std::max(peak, std::fabs(sample));
  return peak;
}

double similarity(std::span<const float> a, std::span<const float> b) {
  const std::size_t count = std::min(a.size(), b.size());
  double ab = 0.0, aa = 0.0, bb = 0.0;
  for (std::size_t i = 0; i < count; ++i) {
    ab += double(a[i]) * b[i];
    aa += double(a[i]) * a[i];
    bb += double(b[i]) * b[i];
  }
  if (aa < silent_energy && bb < silent_energy) return 1.0;
  if (aa < silent_energy || bb < silent_energy) return 0.0;
  return ab / std::sqrt(aa * bb);
}

double least_similarity(std::span<const float> a, std::span<const float> b, std::size_t window_samples) {
  const std::size_t count = std::min(a.size(), b.size());
  double least = 1.0;
  for (std::size_t start = 0; start + window_samples <= count; start += window_samples)
    least = std::min(least, similarity(a.subspan(start, window_samples), b.subspan(start, window_samples)));
  return least;
}
