// music_capture.cpp: the device format from the probe's log, the reference
// from the kit, and the measures the music tests compare with.
#include "tests/e2e/music_capture.h"

#include <algorithm>
#include <cmath>

#include "tests/support/file_bytes.h"
#include "tests/support/reference_music.h"
#include "tests/support/show_data.h"

constexpr float audible = 1e-4f;  // -80 dBFS
constexpr double silent_energy = 1e-9;

std::optional<capture_format> capture_format_of(const std::vector<probe_event>& events) {
  for (const probe_event& event : events_named(events, "audio"))
    if (event.values.size() == 4)
      return capture_format{int(event.values[0]), int(event.values[1]), int(event.values[2])};
  return std::nullopt;
}

std::size_t bytes_per_frame(const capture_format& format) {
  return std::size_t(format.channels) * ((format.sdl_format & 0xff) / 8);
}

const std::vector<float>& show_module_start() {
  static const std::vector<float> rendered =
      clamped(reference_render(read_file(built_module()), 30 * music_mix_rate, music_mix_rate));
  return rendered;
}

std::span<const float> stereo_frames(std::span<const float> samples, std::size_t first, std::size_t count) {
  const std::size_t frames = samples.size() / 2;
  first = std::min(first, frames);
  count = std::min(count, frames - first);
  return samples.subspan(2 * first, 2 * count);
}

std::optional<std::size_t> first_audible_frame(std::span<const float> stereo, std::size_t from_frame) {
  for (std::size_t i = 2 * from_frame; i < stereo.size(); ++i)
    if (std::fabs(stereo[i]) > audible) return i / 2;
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
