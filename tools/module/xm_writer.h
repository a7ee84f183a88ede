// xm_writer.h: the FastTracker 2 extended module format (XM, version 0x0104)
// as plain structs, and the one function that turns them into file bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Pattern notes: 1 is C-0, 49 is C-4, 96 is B-7; 97 releases the playing note.
inline constexpr std::uint8_t xm_no_note = 0;
inline constexpr std::uint8_t xm_key_off = 97;

// A sample played at note C-4 with relative note 0 and finetune 0 runs at this rate.
inline constexpr int xm_c4_rate = 8363;

// Volume column values 0x10 to 0x50 set the volume 0 to 64.
inline constexpr std::uint8_t xm_set_volume = 0x10;
inline constexpr int xm_max_volume = 64;

// Effect column: the arpeggio effect, three notes cycled tick by tick.
inline constexpr std::uint8_t xm_arpeggio = 0x0;

struct xm_cell {
  std::uint8_t note = xm_no_note;
  std::uint8_t instrument = 0;  // 1-based; 0 keeps the channel's instrument
  std::uint8_t volume = 0;      // volume column; 0 leaves it empty
  std::uint8_t effect = 0;
  std::uint8_t parameter = 0;
};

struct xm_pattern {
  int rows = 64;
  std::vector<xm_cell> cells;  // row after row, each row one cell per channel
};

// One point of an envelope: its position in ticks and its value 0 to 64.
struct xm_envelope_point {
  std::uint16_t tick = 0;
  std::uint16_t value = 0;
};

struct xm_envelope {
  std::vector<xm_envelope_point> points;  // at most 12; none leaves it off
  int sustain_point = -1;                 // held until the note is released; -1 for none
};

// Sound data is 16-bit mono; loop positions count sample frames.
struct xm_sample {
  std::string name;
  std::vector<std::int16_t> frames;
  std::uint32_t loop_start = 0;
  std::uint32_t loop_length = 0;  // 0: plays once
  std::uint8_t volume = xm_max_volume;
  std::int8_t finetune = 0;       // 1/128 of a semitone
  std::uint8_t panning = 128;     // 0 left, 128 centre, 255 right
  std::int8_t relative_note = 0;  // semitones added to every pattern note
};

// The instrument's automatic vibrato, applied to every note it plays.
struct xm_vibrato {
  std::uint8_t type = 0;   // 0 sine
  std::uint8_t sweep = 0;  // ticks until full depth
  std::uint8_t depth = 0;
  std::uint8_t rate = 0;
};

// Every instrument holds exactly one sample, played for all notes.
struct xm_instrument {
  std::string name;
  xm_sample sample;
  xm_envelope volume_envelope;
  std::uint16_t fadeout = 0;  // volume lost per tick after release, of 65536
  xm_vibrato vibrato;
};

struct xm_module {
  std::string name;
  std::string tracker_name;
  int channels = 0;
  int speed = 6;             // ticks per row
  int bpm = 125;             // sets the tick length: 2.5 s / bpm
  int restart_position = 0;  // where the order list starts over after its end
  std::vector<std::uint8_t> order;
  std::vector<xm_pattern> patterns;
  std::vector<xm_instrument> instruments;
};

// The complete file: header, packed patterns, instruments with their
// delta-encoded sample data. Frequencies use the linear table.
std::vector<std::uint8_t> encode_xm(const xm_module& module);
