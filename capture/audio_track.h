// audio_track.h: the show's music rendered off line, sample for sample as the
// sound layer plays it, for exactly the stretch of the show being captured.
#pragma once

#include <bit>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "sound/music.h"

inline constexpr int audio_rate = music_mix_rate;
inline constexpr int audio_channels = 2;
// ffmpeg's name for the raw samples as this machine stores them.
inline constexpr const char* raw_audio_format = std::endian::native == std::endian::little ? "f32le" : "f32be";

// Where frame n (from 1) starts on the audio's timeline, in sample frames,
// when the show runs at fps frames per second and the music starts with frame 1.
std::int64_t audio_sample_at_frame(int frame, int fps);

// The music from sample frame first on, count sample frames, interleaved
// stereo floats in [-1, 1]: the module from its start, looping forever, as the
// show plays it. A module the show cannot play gives silence, and a line on
// standard error that says why.
std::vector<float> render_music(const std::filesystem::path& module_file, std::int64_t first, std::int64_t count);

// Writes the samples as raw floats (raw_audio_format); an error text, or empty.
std::string write_raw_samples(const std::filesystem::path& file, std::span<const float> samples);
