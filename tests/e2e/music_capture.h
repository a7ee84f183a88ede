// music_capture.h: the music the program sent to its sound device and the
// module as libopenmpt plays it, and the measures that compare the two.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "sound/music.h"
#include "tests/e2e/show_run.h"

// The music is interleaved stereo at the show's mix rate.
inline constexpr int stereo = 2;
inline std::size_t frames_in(double seconds) { return std::size_t(seconds * music_mix_rate); }

// The device format, as the probe saw the sound layer open it.
struct capture_format {
  int rate = 0;
  int sdl_format = 0;  // an SDL AUDIO_* value
  int channels = 0;
};
std::optional<capture_format> capture_format_of(const std::vector<probe_event>& events);

std::size_t bytes_per_frame(const capture_format& format);

// The show's module for its first 30 seconds as libopenmpt plays it at the
// show's mix rate, clamped as the show's mix is: interleaved stereo floats,
// rendered once for all comparisons.
const std::vector<float>& show_module_start();

// That stretch of interleaved stereo frames, cut short where the samples end.
std::span<const float> stereo_frames(std::span<const float> samples, std::size_t first, std::size_t count);

// The first stereo frame at or after from_frame with a sample above the
// threshold of hearing used here (-80 dBFS); nullopt if there is none.
std::optional<std::size_t> first_audible_frame(std::span<const float> stereo, std::size_t from_frame);

float loudest(std::span<const float> samples);

// Normalised correlation of two equally long signals: 1 for the same waveform
// at any gain, near 0 for unrelated ones. Two silent signals count as alike.
double similarity(std::span<const float> a, std::span<const float> b);

// The lowest similarity over consecutive windows, so a short stretch that
// differs is not averaged away.
double least_similarity(std::span<const float> a, std::span<const float> b, std::size_t window_samples);
