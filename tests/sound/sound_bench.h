// sound_bench.h: what the sound tests share: the default module, SDL's disk
// audio driver as a recording device, files of their own.
#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"
#include "tests/support/reference_music.h"
#include "tests/support/show_data.h"

struct song;

inline const std::filesystem::path default_module = built_module();

constexpr std::size_t frames_in_ms(int milliseconds) { return std::size_t(music_mix_rate) * milliseconds / 1000; }

// Points SDL at its disk driver, which writes every buffer the device plays
// (32-bit float stereo here) to a fresh file, paced in real time. Must be set
// up before sound_init in a process that has not started SDL audio yet.
struct disk_recording {
  std::filesystem::path file;
  disk_recording();
  std::size_t frames_written() const;
  // Waits until the file holds this many frames; the machine may be slower
  // than real time. False after 30 seconds.
  bool wait_for_frames(std::size_t frames) const;
  std::vector<float> samples() const;  // interleaved stereo
};

// The default module as libopenmpt renders it from its start (reference_music.h).
std::vector<float> render_default_module(std::size_t frames);

// Index of the first sample that is not exactly zero, or the size if none.
std::size_t first_nonzero_sample(std::span<const float> samples, std::size_t from = 0);

// Index just past the last sample that is not exactly zero, or 0 if none.
std::size_t end_of_sound(std::span<const float> samples);

// A file in this test's own folder holding these bytes.
std::filesystem::path file_with(const std::string& name, std::span<const char> bytes);

void wait_ms(int milliseconds);

// Keeps a loaded song (or none) reachable to the end of the process, as the
// show keeps its one song, so the leak check does not count it as lost.
song* kept(song* loaded);
