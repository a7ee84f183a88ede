// module_writers.cpp: writes the smallest modules of the MOD, S3M and IT
// formats that still play: one sample, one pattern, four notes.
#include "tests/e2e/module_writers.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace {

constexpr int pattern_rows = 64;
constexpr int rows_between_notes = 16;
constexpr int notes = pattern_rows / rows_between_notes;

// The sample: four cycles of a square wave, looped whole.
constexpr int wave_period = 32;
constexpr int sample_length = 4 * wave_period;
constexpr int wave_level = 64;  // of 128: loud, far from clipping

constexpr int sample_rate_at_middle_c = 8363;

int square_wave(int index) { return index % wave_period < wave_period / 2 ? wave_level : -wave_level; }

bool has_note(int row) { return row % rows_between_notes == 0; }
int note_index(int row) { return row / rows_between_notes; }

// Bytes appended in order, little-endian unless said otherwise.
struct module_bytes {
  std::string bytes;

  void u8(int value) { bytes += char(value & 0xff); }
  void u8s(std::initializer_list<int> values) {
    for (const int value : values) u8(value);
  }
  void u16(int value) {
    u8(value);
    u8(value >> 8);
  }
  void u16_big_endian(int value) {
    u8(value >> 8);
    u8(value);
  }
  void u32(std::uint32_t value) {
    u16(int(value & 0xffff));
    u16(int(value >> 16));
  }
  // A text in a field of that width, padded with zero bytes.
  void text(std::string_view text, std::size_t width) {
    bytes += text.substr(0, width);
    bytes.append(width - std::min(width, text.size()), '\0');
  }
  void zeros(std::size_t count) { bytes.append(count, '\0'); }
  void pad_to(std::size_t offset) { bytes.resize(std::max(offset, bytes.size()), '\0'); }
  void append(const module_bytes& other) { bytes += other.bytes; }
  std::size_t size() const { return bytes.size(); }
};

std::size_t round_up_to_paragraph(std::size_t offset) { return (offset + 15) / 16 * 16; }

}  // namespace

std::string protracker_module() {
  constexpr int periods[notes] = {428, 339, 285, 214};  // C-2, E-2, G-2, C-3
  constexpr int sample_slots = 31;
  constexpr int channels = 4;
  module_bytes mod;
  mod.text("quorvan test mod", 20);
  for (int slot = 1; slot <= sample_slots; ++slot) {
    const bool used = slot == 1;
    mod.text(used ? "square" : "", 22);
    mod.u16_big_endian(used ? sample_length / 2 : 0);  // lengths count 16-bit words
    mod.u8(0);                                         // finetune
    mod.u8(used ? 64 : 0);                             // volume
    mod.u16_big_endian(0);                             // loop start
    mod.u16_big_endian(used ? sample_length / 2 : 1);  // loop length; 1 means none
  }
  mod.u8(1);       // one position in the song
  mod.u8(127);     // the restart byte as ProTracker writes it
  mod.zeros(128);  // the order table: pattern 0
  mod.text("M.K.", 4);
  for (int row = 0; row < pattern_rows; ++row) {
    for (int channel = 0; channel < channels; ++channel) {
      const bool note = channel == 0 && has_note(row);
      const int sample = note ? 1 : 0;
      const int period = note ? periods[note_index(row)] : 0;
      mod.u8((sample & 0xf0) | (period >> 8));
      mod.u8(period);
      mod.u8((sample & 0x0f) << 4);  // and no effect
      mod.u8(0);
    }
  }
  for (int i = 0; i < sample_length; ++i) mod.u8(square_wave(i));
  return mod.bytes;
}

std::string scream_tracker_module() {
  constexpr int pitches[notes] = {0x40, 0x44, 0x47, 0x50};  // C-4, E-4, G-4, C-5: octave, semitone
  constexpr std::size_t instrument_at = 0x70;
  constexpr std::size_t pattern_at = 0xc0;
  module_bytes pattern;  // packed: what follows on which channel; 0 ends a row
  for (int row = 0; row < pattern_rows; ++row) {
    if (has_note(row)) {
      pattern.u8(0x20);  // channel 0: a note and an instrument
      pattern.u8(pitches[note_index(row)]);
      pattern.u8(1);
    }
    pattern.u8(0);
  }
  const std::size_t sample_at = round_up_to_paragraph(pattern_at + 2 + pattern.size());

  module_bytes s3m;
  s3m.text("quorvan test s3m", 28);
  s3m.u8s({0x1a, 16, 0, 0});  // marker, a module, reserved
  s3m.u16(2);       // orders: pattern 0 and the end mark, an even count
  s3m.u16(1);       // instruments
  s3m.u16(1);       // patterns
  s3m.u16(0);       // flags
  s3m.u16(0x1320);  // Scream Tracker 3.20
  s3m.u16(2);       // unsigned samples
  s3m.text("SCRM", 4);
  // Global volume, speed, tempo, stereo at master volume 48, no click
  // removal, no panning table.
  s3m.u8s({64, 6, 125, 0x80 | 48, 0, 0});
  s3m.zeros(10);  // reserved, no special data
  // Channel 0 on the left, 1 on the right, the other 30 unused.
  s3m.u8s({0, 8});
  s3m.bytes.append(30, '\xff');
  s3m.u8s({0, 255});  // the orders
  s3m.u16(int(instrument_at / 16));  // positions count 16-byte paragraphs
  s3m.u16(int(pattern_at / 16));

  s3m.pad_to(instrument_at);
  s3m.u8(1);  // a sample
  s3m.text("square.raw", 12);
  s3m.u8(int(sample_at / 16 >> 16));
  s3m.u16(int(sample_at / 16));
  s3m.u32(sample_length);
  s3m.u32(0);  // loop start
  s3m.u32(sample_length);
  s3m.u8s({64, 0, 0, 1});  // volume, reserved, not packed, loops
  s3m.u32(sample_rate_at_middle_c);
  s3m.zeros(12);
  s3m.text("square", 28);
  s3m.text("SCRS", 4);

  s3m.pad_to(pattern_at);
  s3m.u16(int(2 + pattern.size()));  // the length counts itself
  s3m.append(pattern);
  s3m.pad_to(sample_at);
  for (int i = 0; i < sample_length; ++i) s3m.u8(128 + square_wave(i));
  return s3m.bytes;
}

std::string impulse_tracker_module() {
  constexpr int pitches[notes] = {60, 64, 67, 72};  // C-5, E-5, G-5, C-6
  constexpr std::size_t sample_header_at = 0xd0;
  constexpr std::size_t pattern_at = sample_header_at + 80;
  module_bytes pattern;  // packed: channel (+1, with a mask), mask, values; 0 ends a row
  for (int row = 0; row < pattern_rows; ++row) {
    if (has_note(row)) {
      pattern.u8(0x81);  // channel 0, a mask follows
      pattern.u8(0x03);  // a note and a sample
      pattern.u8(pitches[note_index(row)]);
      pattern.u8(1);
    }
    pattern.u8(0);
  }
  const std::size_t sample_at = pattern_at + 8 + pattern.size();

  module_bytes it;
  it.text("IMPM", 4);
  it.text("quorvan test it", 26);
  it.u16(0x1004);  // row highlights
  it.u16(2);       // orders: pattern 0 and the end mark
  it.u16(0);       // no instruments: notes play samples
  it.u16(1);       // samples
  it.u16(1);       // patterns
  it.u16(0x0214);  // made with Impulse Tracker 2.14
  it.u16(0x0214);  // and for it
  it.u16(0x09);    // stereo, linear slides
  it.u16(0);       // no special data
  it.u8s({128, 48, 6, 125, 128, 0});  // global and mix volume, speed, tempo, separation, no pitch wheel
  it.zeros(10);                        // no message, reserved
  it.bytes.append(64, char(32));       // every channel's panning: centre
  it.bytes.append(64, char(64));       // every channel's volume: full
  it.u8s({0, 255});                    // the orders
  it.u32(sample_header_at);
  it.u32(pattern_at);

  it.pad_to(sample_header_at);
  it.text("IMPS", 4);
  it.text("square.raw", 12);
  it.u8s({0, 64, 0x11, 64});  // end of the name, global volume, has data and loops, volume
  it.text("square", 26);
  it.u8s({0x01, 0});  // signed, no default panning
  it.u32(sample_length);
  it.u32(0);  // loop start
  it.u32(sample_length);
  it.u32(sample_rate_at_middle_c);
  it.zeros(8);  // no sustain loop
  it.u32(std::uint32_t(sample_at));
  it.zeros(4);  // no vibrato

  it.u16(int(pattern.size()));
  it.u16(pattern_rows);
  it.zeros(4);
  it.append(pattern);
  for (int i = 0; i < sample_length; ++i) it.u8(square_wave(i));
  return it.bytes;
}
