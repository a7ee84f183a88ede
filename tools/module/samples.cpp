// samples.cpp: computes each sound in double precision, then scales it to
// 16 bits. Noise comes from a fixed-seed generator, so every run is the same.
#include "tools/module/samples.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double two_pi = 2 * std::numbers::pi;
constexpr double peak_level = 0.97;  // of full scale
constexpr double end_fade_seconds = 0.005;

// Kick: a sine falling from a thud to a low hum as it fades.
constexpr double kick_seconds = 0.45;
constexpr double kick_start_hz = 160;
constexpr double kick_end_hz = 45;
constexpr double kick_sweep_seconds = 0.035;
constexpr double kick_decay_seconds = 0.16;
constexpr double kick_drive = 1.8;

// Snare: a short tonal body under a longer burst of brightened noise.
constexpr double snare_seconds = 0.24;
constexpr double snare_body_hz = 185;
constexpr double snare_body_decay_seconds = 0.035;
constexpr double snare_body_level = 0.7;
constexpr double snare_noise_decay_seconds = 0.06;
constexpr double snare_noise_cutoff_hz = 900;

// Hi-hat: very short noise with everything below the top octaves removed.
constexpr double hat_seconds = 0.09;
constexpr double hat_decay_seconds = 0.016;
constexpr double hat_cutoff_hz = 7000;

// Bass: a sawtooth whose brightness closes over its first sixteen cycles,
// then one steady cycle repeats.
constexpr int bass_attack_cycles = 16;
constexpr int bass_harmonics = 60;
constexpr double bass_open_harmonic = 24;
constexpr double bass_closed_harmonic = 5;

// Lead: two pulse waves, one a cycle ahead per hundred, beating slowly.
constexpr int lead_loop_cycles = 100;
constexpr int lead_harmonics = 23;
constexpr double lead_pulse_width = 0.3;
constexpr double lead_soft_harmonic = 12;
constexpr double lead_second_level = 0.6;

// Pad: four soft voices, each doubled one cycle ahead per loop. The loop
// holds 160 cycles of the root, so the just thirds (6/5, 5/4), the fifth
// (3/2) and the octave all fit a whole number of times.
constexpr int pad_root_cycles = 160;
constexpr int pad_harmonics = 8;
constexpr int pad_loop_frames = pad_root_cycles * pad_cycle_frames;

constexpr std::uint32_t noise_seed = 0x5eed1234u;

// A linear congruential generator: white noise in [-1, 1), the same every run.
struct noise_source {
  std::uint32_t state = noise_seed;
  double next() {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / (1 << 23) - 1.0;
  }
};

double seconds_of(int frame) { return static_cast<double>(frame) / synth_rate; }

// Exponential decay: 1 at the start, 1/e after `seconds`.
double decay(double t, double seconds) { return std::exp(-t / seconds); }

// From `start` (remaining 1) to `end` (remaining 0).
double glide(double start, double end, double remaining) { return end + (start - end) * remaining; }

int frames_of(double seconds) { return static_cast<int>(std::lround(seconds * synth_rate)); }

// The share of a one-pole low-pass filter's output that each new input takes.
double one_pole_share(double cutoff_hz) { return 1.0 - std::exp(-two_pi * cutoff_hz / synth_rate); }

// A one-shot ends at silence, so the voice stops without a click.
void fade_end(std::vector<double>& wave) {
  const int fade = std::min<int>(frames_of(end_fade_seconds), static_cast<int>(wave.size()));
  for (int i = 0; i < fade; ++i) {
    wave[wave.size() - 1 - i] *= static_cast<double>(i) / fade;
  }
}

std::vector<std::int16_t> to_frames(const std::vector<double>& wave) {
  double peak = 0;
  for (const double value : wave) peak = std::max(peak, std::abs(value));
  const double scale = peak > 0 ? peak_level * 32767 / peak : 0;
  std::vector<std::int16_t> frames(wave.size());
  std::ranges::transform(wave, frames.begin(),
                         [scale](double value) { return static_cast<std::int16_t>(std::lround(value * scale)); });
  return frames;
}

synthesised_sample one_shot(std::vector<double> wave) {
  fade_end(wave);
  return {to_frames(wave), 0, 0};
}

// One sine making a whole number of cycles in `period` frames. Its angle is
// reduced in integers first, so every loop of the period repeats exactly.
double partial(int cycles, int frame, int period, double phase) {
  return std::sin(two_pi * static_cast<double>(static_cast<long long>(cycles) * frame % period) / period + phase);
}

}  // namespace

synthesised_sample kick_drum() {
  std::vector<double> wave(frames_of(kick_seconds));
  double phase = 0;
  for (int i = 0; i < static_cast<int>(wave.size()); ++i) {
    const double t = seconds_of(i);
    const double hz = glide(kick_start_hz, kick_end_hz, decay(t, kick_sweep_seconds));
    phase += two_pi * hz / synth_rate;
    wave[i] = std::tanh(kick_drive * std::sin(phase)) * decay(t, kick_decay_seconds);
  }
  return one_shot(std::move(wave));
}

synthesised_sample snare_drum() {
  std::vector<double> wave(frames_of(snare_seconds));
  noise_source noise;
  const double share = one_pole_share(snare_noise_cutoff_hz);
  double low = 0;
  for (int i = 0; i < static_cast<int>(wave.size()); ++i) {
    const double t = seconds_of(i);
    const double white = noise.next();
    low += share * (white - low);  // what is left above the cutoff is the snare's hiss
    const double body = std::sin(two_pi * snare_body_hz * t) * decay(t, snare_body_decay_seconds);
    wave[i] = snare_body_level * body + (white - low) * decay(t, snare_noise_decay_seconds);
  }
  return one_shot(std::move(wave));
}

synthesised_sample hi_hat() {
  std::vector<double> wave(frames_of(hat_seconds));
  noise_source noise;
  const double share = one_pole_share(hat_cutoff_hz);
  double low = 0;
  for (int i = 0; i < static_cast<int>(wave.size()); ++i) {
    const double white = noise.next();
    low += share * (white - low);
    wave[i] = (white - low) * decay(seconds_of(i), hat_decay_seconds);
  }
  return one_shot(std::move(wave));
}

synthesised_sample bass_tone() {
  constexpr int attack_frames = bass_attack_cycles * bass_cycle_frames;
  std::vector<double> wave(attack_frames + bass_cycle_frames);
  for (int i = 0; i < static_cast<int>(wave.size()); ++i) {
    // The cut-off harmonic falls along a curve that lands flat at the loop.
    const double left = std::max(0.0, 1.0 - static_cast<double>(i) / attack_frames);
    const double cutoff = glide(bass_open_harmonic, bass_closed_harmonic, left * left);
    double sum = 0;
    for (int k = 1; k <= bass_harmonics; ++k) {
      const double ratio = k / cutoff;
      sum += partial(k, i, bass_cycle_frames, 0) / k / std::sqrt(1 + ratio * ratio * ratio * ratio);
    }
    wave[i] = sum;
  }
  return {to_frames(wave), attack_frames, bass_cycle_frames};
}

synthesised_sample lead_tone() {
  constexpr int loop_frames = lead_loop_cycles * lead_cycle_frames;
  std::vector<double> wave(loop_frames);
  for (int i = 0; i < loop_frames; ++i) {
    double sum = 0;
    for (int k = 1; k <= lead_harmonics; ++k) {
      const double ratio = k / lead_soft_harmonic;
      const double pulse = std::sin(std::numbers::pi * k * lead_pulse_width) / k;
      const double level = pulse / (1 + ratio * ratio);
      sum += level * (partial(k * lead_loop_cycles, i, loop_frames, 0) +
                      lead_second_level * partial(k * (lead_loop_cycles + 1), i, loop_frames, 0));
    }
    wave[i] = sum;
  }
  return {to_frames(wave), 0, loop_frames};
}

synthesised_sample pad_chord(chord_quality quality) {
  // Cycles per loop of the root, the third, the fifth and the octave.
  const int third = quality == chord_quality::minor ? pad_root_cycles * 6 / 5 : pad_root_cycles * 5 / 4;
  const int voices[] = {pad_root_cycles, third, pad_root_cycles * 3 / 2, pad_root_cycles * 2};
  noise_source phases;  // fixed scattered phases keep the summed peaks low
  double phase[std::size(voices)][pad_harmonics + 1][2];
  for (auto& voice : phase) {
    for (auto& harmonic : voice) {
      harmonic[0] = std::numbers::pi * phases.next();
      harmonic[1] = std::numbers::pi * phases.next();
    }
  }
  std::vector<double> wave(pad_loop_frames);
  for (int i = 0; i < pad_loop_frames; ++i) {
    double sum = 0;
    for (std::size_t v = 0; v < std::size(voices); ++v) {
      for (int k = 1; k <= pad_harmonics; ++k) {
        const double level = 1 / (k * std::sqrt(k));
        sum += level * (partial(k * voices[v], i, pad_loop_frames, phase[v][k][0]) +
                        partial(k * (voices[v] + 1), i, pad_loop_frames, phase[v][k][1]));
      }
    }
    wave[i] = sum;
  }
  return {to_frames(wave), 0, pad_loop_frames};
}
