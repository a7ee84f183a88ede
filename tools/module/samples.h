// samples.h: the sounds of the module's instruments, synthesised: drums from
// falling sines and noise, tones from harmonics that repeat exactly in their loop.
#pragma once

#include <cstdint>
#include <vector>

// Every sound is computed at this rate, four times the rate at which an XM
// sample plays note C-4: a sample sounds unchanged two octaves above C-4.
inline constexpr int synth_rate = 4 * 8363;

// The tones are all Cs, each a whole number of frames long per cycle, so
// loops of whole cycles join without a seam: 65.3 Hz, 130.7 Hz and 261.3 Hz.
inline constexpr int bass_cycle_frames = 512;
inline constexpr int pad_cycle_frames = 256;
inline constexpr int lead_cycle_frames = 128;

// 16-bit mono frames, peaking just below full scale; the song sets the mix.
struct synthesised_sample {
  std::vector<std::int16_t> frames;
  std::uint32_t loop_start = 0;
  std::uint32_t loop_length = 0;  // 0: plays once
};

enum class chord_quality { minor, major };

// One-shot drums.
synthesised_sample kick_drum();
synthesised_sample snare_drum();
synthesised_sample hi_hat();

// Looped tones.
synthesised_sample bass_tone();
synthesised_sample lead_tone();
synthesised_sample pad_chord(chord_quality quality);  // a triad and its octave on C
