// xm_writer.cpp: lays out an XM file byte by byte, little-endian throughout,
// with packed pattern cells and delta-encoded 16-bit sample data.
#include "tools/module/xm_writer.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

namespace {

constexpr std::string_view signature = "Extended Module: ";
constexpr std::uint8_t end_of_text = 0x1A;
constexpr std::uint16_t format_version = 0x0104;
constexpr std::size_t name_length = 20;
constexpr std::size_t order_table_length = 256;
constexpr std::uint32_t header_size = 20 + order_table_length;  // counted from its own field
constexpr std::uint16_t linear_frequencies = 1;

constexpr std::uint32_t pattern_header_size = 9;
constexpr int max_rows = 256;
constexpr std::size_t max_patterns = 256;
constexpr std::uint8_t packed_cell = 0x80;  // the top bit marks a mask byte; notes never set it

constexpr std::size_t instrument_name_length = 22;
constexpr std::uint32_t instrument_header_size = 263;
constexpr std::uint32_t sample_header_size = 40;
constexpr std::size_t notes_in_keymap = 96;
constexpr std::size_t envelope_points = 12;
constexpr std::size_t instrument_reserved_bytes = 22;
constexpr std::uint8_t envelope_on = 1;
constexpr std::uint8_t envelope_sustain = 2;
constexpr std::uint8_t forward_loop = 1;
constexpr std::uint8_t sixteen_bit = 0x10;
constexpr std::size_t max_instruments = 128;
constexpr int max_channels = 32;

void require(bool condition, const char* what) {
  if (!condition) throw std::length_error(what);
}

void put_u8(std::vector<std::uint8_t>& out, std::uint8_t value) { out.push_back(value); }

void put_u16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  put_u16(out, static_cast<std::uint16_t>(value));
  put_u16(out, static_cast<std::uint16_t>(value >> 16));
}

// Text fields have a fixed width: cut to it, padded with zero bytes.
void put_text(std::vector<std::uint8_t>& out, std::string_view text, std::size_t width) {
  const std::size_t kept = std::min(text.size(), width);
  out.insert(out.end(), text.begin(), text.begin() + kept);
  out.insert(out.end(), width - kept, 0);
}

void put_header(std::vector<std::uint8_t>& out, const xm_module& module) {
  require(module.channels >= 1 && module.channels <= max_channels, "channels outside 1 to 32");
  require(module.order.size() <= order_table_length, "order list longer than 256");
  require(module.patterns.size() <= max_patterns, "more than 256 patterns");
  require(module.instruments.size() < max_instruments, "more than 127 instruments");
  put_text(out, signature, signature.size());
  put_text(out, module.name, name_length);
  put_u8(out, end_of_text);
  put_text(out, module.tracker_name, name_length);
  put_u16(out, format_version);
  put_u32(out, header_size);
  put_u16(out, static_cast<std::uint16_t>(module.order.size()));
  put_u16(out, static_cast<std::uint16_t>(module.restart_position));
  put_u16(out, static_cast<std::uint16_t>(module.channels));
  put_u16(out, static_cast<std::uint16_t>(module.patterns.size()));
  put_u16(out, static_cast<std::uint16_t>(module.instruments.size()));
  put_u16(out, linear_frequencies);
  put_u16(out, static_cast<std::uint16_t>(module.speed));
  put_u16(out, static_cast<std::uint16_t>(module.bpm));
  out.insert(out.end(), module.order.begin(), module.order.end());
  out.insert(out.end(), order_table_length - module.order.size(), 0);
}

// A full cell goes out as its five bytes; any other as a mask byte naming
// the fields that follow, so an empty cell takes one byte.
void put_cell(std::vector<std::uint8_t>& out, const xm_cell& cell) {
  const std::uint8_t fields[] = {cell.note, cell.instrument, cell.volume, cell.effect, cell.parameter};
  if (std::ranges::none_of(fields, [](std::uint8_t field) { return field == 0; })) {
    out.insert(out.end(), std::begin(fields), std::end(fields));
    return;
  }
  std::uint8_t mask = packed_cell;
  for (int field = 0; field < 5; ++field) {
    if (fields[field] != 0) mask |= static_cast<std::uint8_t>(1 << field);
  }
  put_u8(out, mask);
  for (const std::uint8_t field : fields) {
    if (field != 0) put_u8(out, field);
  }
}

void put_pattern(std::vector<std::uint8_t>& out, const xm_pattern& pattern, int channels) {
  require(pattern.rows >= 1 && pattern.rows <= max_rows, "pattern rows outside 1 to 256");
  require(pattern.cells.size() == static_cast<std::size_t>(pattern.rows * channels),
          "pattern cells do not fill rows times channels");
  std::vector<std::uint8_t> packed;
  for (const xm_cell& cell : pattern.cells) put_cell(packed, cell);
  require(packed.size() <= 0xFFFF, "packed pattern larger than 64 KiB");
  put_u32(out, pattern_header_size);
  put_u8(out, 0);  // packing type: always 0
  put_u16(out, static_cast<std::uint16_t>(pattern.rows));
  put_u16(out, static_cast<std::uint16_t>(packed.size()));
  out.insert(out.end(), packed.begin(), packed.end());
}

void put_envelope(std::vector<std::uint8_t>& out, const xm_envelope& envelope) {
  require(envelope.points.size() <= envelope_points, "envelope with more than 12 points");
  for (const xm_envelope_point& point : envelope.points) {
    put_u16(out, point.tick);
    put_u16(out, point.value);
  }
  out.insert(out.end(), (envelope_points - envelope.points.size()) * 4, 0);
}

std::uint8_t envelope_type(const xm_envelope& envelope) {
  if (envelope.points.empty()) return 0;
  return envelope.sustain_point >= 0 ? envelope_on | envelope_sustain : envelope_on;
}

void put_instrument_header(std::vector<std::uint8_t>& out, const xm_instrument& instrument) {
  const xm_envelope& volume = instrument.volume_envelope;
  put_u32(out, instrument_header_size);
  put_text(out, instrument.name, instrument_name_length);
  put_u8(out, 0);   // instrument type: always 0
  put_u16(out, 1);  // one sample
  put_u32(out, sample_header_size);
  out.insert(out.end(), notes_in_keymap, 0);  // every note plays sample 0
  put_envelope(out, volume);
  put_envelope(out, xm_envelope{});  // no panning envelope
  put_u8(out, static_cast<std::uint8_t>(volume.points.size()));
  put_u8(out, 0);
  put_u8(out, static_cast<std::uint8_t>(std::max(volume.sustain_point, 0)));
  put_u8(out, 0);  // volume loop start and end: unused
  put_u8(out, 0);
  put_u8(out, 0);  // panning sustain, loop start and end: unused
  put_u8(out, 0);
  put_u8(out, 0);
  put_u8(out, envelope_type(volume));
  put_u8(out, 0);
  put_u8(out, instrument.vibrato.type);
  put_u8(out, instrument.vibrato.sweep);
  put_u8(out, instrument.vibrato.depth);
  put_u8(out, instrument.vibrato.rate);
  put_u16(out, instrument.fadeout);
  out.insert(out.end(), instrument_reserved_bytes, 0);
}

// Lengths and loop points are stored in bytes, two to a 16-bit frame.
void put_sample_header(std::vector<std::uint8_t>& out, const xm_sample& sample) {
  require(sample.loop_start + sample.loop_length <= sample.frames.size(), "sample loop runs past its end");
  const std::uint8_t loop = sample.loop_length > 0 ? forward_loop : 0;
  put_u32(out, static_cast<std::uint32_t>(sample.frames.size() * 2));
  put_u32(out, sample.loop_start * 2);
  put_u32(out, sample.loop_length * 2);
  put_u8(out, sample.volume);
  put_u8(out, static_cast<std::uint8_t>(sample.finetune));
  put_u8(out, loop | sixteen_bit);
  put_u8(out, sample.panning);
  put_u8(out, static_cast<std::uint8_t>(sample.relative_note));
  put_u8(out, 0);  // reserved
  put_text(out, sample.name, instrument_name_length);
}

// Each frame is stored as its difference from the one before, wrapping
// around in 16 bits, which the player undoes by summing.
void put_sample_data(std::vector<std::uint8_t>& out, const xm_sample& sample) {
  std::uint16_t previous = 0;
  for (const std::int16_t frame : sample.frames) {
    const auto current = static_cast<std::uint16_t>(frame);
    put_u16(out, static_cast<std::uint16_t>(current - previous));
    previous = current;
  }
}

}  // namespace

std::vector<std::uint8_t> encode_xm(const xm_module& module) {
  std::vector<std::uint8_t> out;
  put_header(out, module);
  for (const xm_pattern& pattern : module.patterns) put_pattern(out, pattern, module.channels);
  for (const xm_instrument& instrument : module.instruments) {
    put_instrument_header(out, instrument);
    put_sample_header(out, instrument.sample);
    put_sample_data(out, instrument.sample);
  }
  return out;
}
