// module_test.cpp: the show's music as the player sees it (loads cleanly, has
// its layout, outlasts the show, loops to its first theme, never clips, is as
// loud as other music) and the XM writer and module maker that produce it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <libopenmpt/libopenmpt.hpp>
#include <numeric>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "assets/show_pictures.h"
#include "tests/support/child_process.h"
#include "tests/support/file_bytes.h"
#include "tests/support/reference_music.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/show_data.h"
#include "tools/module/module_maker.h"
#include "tools/module/samples.h"
#include "tools/module/xm_writer.h"

namespace {

const std::filesystem::path shipped_module = built_module();

constexpr double pattern_seconds = 7.68;  // 64 rows of 0.12 s

// Interleaved stereo float frames from the current position, at most `seconds` long.
std::vector<float> render(openmpt::module& music, double seconds) {
  return render_from(music, static_cast<std::size_t>(seconds * music_mix_rate));
}

double rms_of(std::span<const float> samples) {
  return std::sqrt(std::inner_product(samples.begin(), samples.end(), samples.begin(), 0.0) / double(samples.size()));
}

// The number after the label in the summary ffmpeg's ebur128 filter prints at
// its end: "I: <n> LUFS" and, with peak=true, the true peak as "Peak: <n> dBFS".
std::optional<double> summary_value(const std::string& log, const std::string& label) {
  std::istringstream words(log.substr(std::min(log.find("Summary:"), log.size())));
  for (std::string word; words >> word;) {
    double value = 0;
    if (word == label && words >> value) return value;
  }
  return std::nullopt;
}

// The build's module, loaded afresh for each test.
struct show_module : testing::Test {
  openmpt::module music{read_file_bytes(shipped_module)};
};

TEST_F(show_module, loads_without_warnings) {
  ASSERT_FALSE(read_file_bytes(shipped_module).empty()) << shipped_module;
  EXPECT_EQ(music.get_metadata("warnings"), "");
  EXPECT_EQ(music.get_metadata("type"), "xm");
}

TEST_F(show_module, has_six_channels_eight_patterns_and_seven_instruments_of_one_sample_each) {
  EXPECT_EQ(music.get_num_channels(), 6);
  EXPECT_EQ(music.get_num_patterns(), 8);
  EXPECT_EQ(music.get_num_orders(), 8);
  EXPECT_EQ(music.get_num_instruments(), 7);
  EXPECT_EQ(music.get_num_samples(), 7);
}

TEST_F(show_module, plays_over_a_minute_before_it_starts_over) { EXPECT_GE(music.get_duration_seconds(), 60.0); }

TEST_F(show_module, starts_over_at_the_first_theme_after_the_turnaround) {
  music.set_repeat_count(-1);
  music.set_position_order_row(7, 63);  // the last row of the last order
  render(music, 0.5);
  EXPECT_EQ(music.get_current_order(), 2);  // the first theme's
  EXPECT_LT(music.get_current_row(), 8);
}

// Every pattern is rendered at the player's default settings: each must be
// clearly audible, and no sample of the whole song may reach full scale.
TEST_F(show_module, every_section_is_audible_and_the_mix_never_clips) {
  const std::vector<float> song = render(music, music.get_duration_seconds() + 1);  // to its end
  const auto section_samples = static_cast<std::size_t>(std::lround(2 * pattern_seconds * music_mix_rate));
  ASSERT_GE(song.size(), 8 * section_samples);
  for (int section = 0; section < 8; ++section)
    EXPECT_GT(rms_of(std::span(song).subspan(section * section_samples, section_samples)), 0.01)
        << "section " << section;
  EXPECT_TRUE(std::ranges::all_of(song, [](float s) { return std::abs(s) < 1.0f; })) << "the mix clips";
}

// The whole song, rendered as the show plays it, measured by ffmpeg's EBU R 128
// meter: as loud as the music people play beside it, with room for the peaks
// between samples that a lossy encoding or a resampler brings out.
TEST(show_module_loudness, measures_minus_16_lufs_within_1_lu_with_true_peaks_at_most_minus_1_dbtp) {
  openmpt::module music(read_file_bytes(shipped_module));
  const std::vector<float> song = render(music, music.get_duration_seconds());
  const scratch_folder folder("module");
  const std::filesystem::path samples = folder.path / "song.f32";
  write_file(samples, {reinterpret_cast<const char*>(song.data()), song.size() * sizeof(float)});

  const program_run meter = run_program(
      {.command = {"ffmpeg", "-hide_banner", "-nostats", "-f", "f32le", "-ar", std::to_string(music_mix_rate), "-ac",
                   "2", "-i", samples.string(), "-af", "ebur128=peak=true", "-f", "null", "-"}},
      std::chrono::minutes(2));
  ASSERT_TRUE(meter.exited_with(0)) << "ffmpeg could not measure the song";
  const std::optional<double> integrated_lufs = summary_value(meter.errors, "I:");
  const std::optional<double> true_peak_dbtp = summary_value(meter.errors, "Peak:");
  ASSERT_TRUE(integrated_lufs && true_peak_dbtp) << "no summary from ffmpeg's ebur128 filter";
  EXPECT_NEAR(*integrated_lufs, -16.0, 1.0);
  EXPECT_LE(*true_peak_dbtp, -1.0);
}

// A typo in a note name would show up as a note outside the key: every note
// played, drums (on C) included, lies in A minor with the G sharp of its E
// major chord. libopenmpt counts notes from 1 at C, one octave above XM's.
TEST_F(show_module, plays_only_notes_of_a_minor) {
  constexpr std::array<bool, 12> in_key{true,  false, true, false, true,  true,   // C . D . E F
                                        false, true,  true, true,  false, true};  // . G G# A . B
  int notes = 0;
  for (int pattern = 0; pattern < music.get_num_patterns(); ++pattern)
    for (int row = 0; row < music.get_pattern_num_rows(pattern); ++row)
      for (int channel = 0; channel < music.get_num_channels(); ++channel) {
        const int note = music.get_pattern_row_channel_command(pattern, row, channel, openmpt::module::command_note);
        if (note == 0 || note == 255) continue;  // no note, or a release
        ++notes;
        EXPECT_TRUE(in_key[(note - 1) % 12])
            << "note " << note << " in pattern " << pattern << ", row " << row << ", channel " << channel;
      }
  EXPECT_GT(notes, 500);
}

int largest_step(const synthesised_sample& made, std::size_t begin, std::size_t end) {
  int step = 0;
  for (std::size_t i = begin + 1; i < end; ++i) step = std::max(step, std::abs(made.frames[i] - made.frames[i - 1]));
  return step;
}

// Jumping from a loop's last frame back to its first must be no bigger a step
// than the waveform takes anywhere inside the loop, or every loop would click.
TEST(synthesised_sounds, loops_join_without_a_jump) {
  for (const synthesised_sample& made :
       {bass_tone(), lead_tone(), pad_chord(chord_quality::minor), pad_chord(chord_quality::major)}) {
    ASSERT_GT(made.loop_length, 1u);
    const std::size_t begin = made.loop_start;
    const std::size_t end = begin + made.loop_length;
    ASSERT_LE(end, made.frames.size());
    const int seam = std::abs(made.frames[begin] - made.frames[end - 1]);
    EXPECT_LE(seam, largest_step(made, begin, end));
  }
}

TEST(synthesised_sounds, drums_play_once_and_end_in_silence) {
  for (const synthesised_sample& made : {kick_drum(), snare_drum(), hi_hat()}) {
    EXPECT_EQ(made.loop_length, 0u);
    ASSERT_FALSE(made.frames.empty());
    EXPECT_EQ(made.frames.back(), 0);
  }
}

TEST(module_maker, writes_the_same_bytes_on_every_run) {
  const scratch_folder first("module");
  const scratch_folder second("module");
  ASSERT_TRUE(write_module(first.path));
  ASSERT_TRUE(write_module(second.path));
  const std::vector<std::uint8_t> bytes = read_file_bytes(first.path / music_file_name);
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(bytes, read_file_bytes(second.path / music_file_name));
  EXPECT_EQ(bytes, read_file_bytes(shipped_module)) << "the build's copy differs from a fresh one";
}

TEST(module_maker, reports_a_folder_it_cannot_write_to) {
  const scratch_folder folder("module");
  EXPECT_FALSE(write_module(folder.path / "missing" / "deeper"));
}

// Two channels, four rows: a full cell, single fields, a release, an arpeggio.
xm_module small_module() {
  xm_module module;
  module.name = "cells";
  module.channels = 2;
  module.order = {0};
  xm_pattern pattern{4, std::vector<xm_cell>(8)};
  pattern.cells[0] = {49, 1, xm_set_volume + 32, 0x0C, 0x20};  // C-4, instrument, volume, effect
  pattern.cells[2] = {61};                                     // C-5 alone
  pattern.cells[3] = {xm_key_off};
  pattern.cells[4] = {xm_no_note, 0, xm_set_volume + 48};
  pattern.cells[5] = {xm_no_note, 0, 0, xm_arpeggio, 0x47};
  module.patterns = {pattern};
  xm_instrument instrument;
  instrument.name = "blip";
  instrument.sample.frames = {0, 12000, -32768, 32767, -1, 0};
  module.instruments = {instrument};
  return module;
}

// libopenmpt numbers notes one octave higher than XM (C-4 is its 61) and
// marks a release as 255.
TEST(xm_writer, packed_cells_read_back_as_written) {
  openmpt::module music(encode_xm(small_module()));
  EXPECT_EQ(music.get_metadata("warnings"), "");
  constexpr int note = openmpt::module::command_note, instrument = openmpt::module::command_instrument,
                volume = openmpt::module::command_volume, parameter = openmpt::module::command_parameter;
  struct field {
    int row, channel, command, value;
  };
  constexpr field written[] = {
      {0, 0, note, 61},        {0, 0, instrument, 1}, {0, 0, volume, 32}, {0, 0, parameter, 0x20}, {0, 1, note, 0},
      {1, 0, note, 73},        {1, 0, instrument, 0}, {1, 1, note, 255},  {2, 0, volume, 48},      {2, 0, note, 0},
      {2, 1, parameter, 0x47}, {3, 0, note, 0},       {3, 1, note, 0}};
  for (const auto& [row, channel, command, value] : written)
    EXPECT_EQ(int(music.get_pattern_row_channel_command(0, row, channel, command)), value)
        << "row " << row << ", channel " << channel << ", command " << command;
}

TEST(xm_writer, refuses_a_pattern_that_does_not_fill_its_rows) {
  xm_module module = small_module();
  module.patterns[0].cells.pop_back();
  EXPECT_THROW(encode_xm(module), std::length_error);
}

TEST(xm_writer, refuses_a_loop_that_runs_past_its_sample) {
  xm_module module = small_module();
  module.instruments[0].sample.loop_start = 4;
  module.instruments[0].sample.loop_length = 3;
  EXPECT_THROW(encode_xm(module), std::length_error);
}

}  // namespace
