// music_files_test.cpp: the show with a bad, foreign, huge or missing module,
// or no sound device: it runs to its end, with music only from a playable module.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <libopenmpt/libopenmpt.hpp>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "assets/show_pictures.h"
#include "tests/e2e/music_capture.h"
#include "tests/e2e/show_expectations.h"
#include "tests/e2e/show_run.h"
#include "tests/e2e/x_server_fixture.h"
#include "tests/support/disk_audio.h"
#include "tests/support/file_bytes.h"

namespace {

constexpr float audible_music = 0.01f;  // -40 dBFS: the show's module peaks near 0.1
constexpr std::size_t noise_bytes = 256 << 10;
constexpr std::size_t huge_file_bytes = std::size_t{64} << 20;

// Start-up with a huge file in place of the module may take this much longer
// than with the show's own; it may take no more memory than a quarter of the
// file beyond what the show's own takes.
constexpr auto stall_limit = std::chrono::seconds(1);
constexpr long memory_limit_kib = long(huge_file_bytes / 4 / 1024);
constexpr auto hold_limit = std::chrono::minutes(2);

enum class heard { silence, music };

const std::string& show_module() {
  static const std::string bytes = read_file(built_module());
  return bytes;
}

// The smallest modules of the other tracker formats that still play, each
// one looped square wave playing four notes.
std::string other_tracker_module(const char* type) {
  return read_file(std::filesystem::path(QUORVAN_TRACKER_MODULES) / (std::string("four_notes.") + type));
}

std::string noise(std::size_t size) {
  std::mt19937 random(1234);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = char(random());
  return bytes;
}

// An XM module's parts: a 60-byte preamble and a header of the size given at
// offset 60; then each pattern's header and packed rows; then the instruments
// and their samples.
enum class xm_part { header, patterns, samples };

// Where each part begins, and where the last ends.
std::array<std::size_t, 4> part_bounds(std::string_view xm) {
  const auto number = [&](std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | std::uint8_t(xm.at(at + std::size_t(i)));
    return std::size_t(value);
  };
  constexpr std::size_t header_size_at = 60, pattern_count_at = 70, packed_size_at = 7;
  const std::size_t patterns_begin = header_size_at + number(header_size_at, 4);
  std::size_t at = patterns_begin;
  for (std::size_t count = number(pattern_count_at, 2); count > 0; --count)
    at += number(at, 4) + number(at + packed_size_at, 2);
  return {0, patterns_begin, at, xm.size()};
}

// The show's module cut in the middle of that part.
std::string show_module_cut_inside(xm_part part) {
  const std::array<std::size_t, 4> bounds = part_bounds(show_module());
  return show_module().substr(0, (bounds[std::size_t(part)] + bounds[std::size_t(part) + 1]) / 2);
}

struct module_case {
  std::string name;
  std::function<void(const show_data_folder&)> put_module;
  heard expected;
  std::string why_silent = {};  // what the show says on standard error, where it says anything
};

void PrintTo(const module_case& module, std::ostream* out) { *out << module.name; }

std::function<void(const show_data_folder&)> module_of(std::function<std::string()> bytes) {
  return [bytes](const show_data_folder& folder) { folder.write_file(music_file_name, bytes()); };
}

const module_case module_cases[] = {
    {"missing", [](const show_data_folder& folder) { folder.remove_file(music_file_name); }, heard::silence,
     "No such file or directory"},
    {"empty", module_of([] { return std::string(); }), heard::silence, "not a module this show can play"},
    // Cut in the header, libopenmpt still takes the module, with no patterns
    // and no samples; cut in the patterns, it has no samples: both are silent.
    {"cut_inside_the_header", module_of([] { return show_module_cut_inside(xm_part::header); }), heard::silence},
    {"cut_inside_the_patterns", module_of([] { return show_module_cut_inside(xm_part::patterns); }), heard::silence},
    // Samples make up most of the module; what is left of them plays.
    {"cut_inside_the_samples", module_of([] { return show_module_cut_inside(xm_part::samples); }), heard::music},
    {"random_bytes", module_of([] { return noise(noise_bytes); }), heard::silence, "not a module this show can play"},
    // With no writer: opening it for reading could wait forever.
    {"a_fifo", [](const show_data_folder& folder) { put_fifo(folder, music_file_name); }, heard::silence,
     "not a regular file"},
    {"a_mod_module", module_of([] { return other_tracker_module("mod"); }), heard::music},
    {"an_s3m_module", module_of([] { return other_tracker_module("s3m"); }), heard::music},
    {"an_it_module", module_of([] { return other_tracker_module("it"); }), heard::music},
};

// The device was opened and ran the whole time; it played music, or nothing.
void expect_heard(const show_result& result, heard expected) {
  const std::optional<capture_format> format = capture_format_of(result.events);
  ASSERT_TRUE(format.has_value()) << "no sound device was opened";
  const std::vector<float> music = read_disk_audio(result.capture, format->sdl_format);
  ASSERT_FALSE(music.empty());
  if (expected == heard::silence)
    EXPECT_EQ(loudest(music), 0.0f);
  else
    EXPECT_GE(loudest(music), audible_music);
}

class music_file : public on_x_server, public testing::WithParamInterface<module_case> {};

TEST_P(music_file, plays_only_if_libopenmpt_can_play_it_and_the_show_runs_to_its_end) {
  show_data_folder folder("music-" + GetParam().name);
  GetParam().put_module(folder);
  running_show show = start_show(folder);
  const show_result result = finish_show(show, run_limit);

  expect_ran_to_its_end(result);
  EXPECT_EQ(result.output, repeated(loaded_line, int(show_pictures.size())));
  expect_heard(result, GetParam().expected);
  // A module libopenmpt takes, even one that plays nothing, is no failure to report.
  const std::string said = "quorvan: no music: " + std::string(music_file_name) + ": " + GetParam().why_silent + "\n";
  if (GetParam().why_silent.empty())
    EXPECT_EQ(result.errors.find("no music"), std::string::npos) << result.errors;
  else
    EXPECT_NE(result.errors.find(said), std::string::npos) << result.errors;
}

INSTANTIATE_TEST_SUITE_P(module_files, music_file, testing::ValuesIn(module_cases), testing::PrintToStringParamName());

TEST(other_tracker_formats, are_modules_libopenmpt_takes_for_what_they_are) {
  for (const char* type : {"mod", "s3m", "it"}) {
    const std::string bytes = other_tracker_module(type);
    std::ostringstream quiet_log;
    const openmpt::module module(bytes.data(), bytes.size(), quiet_log);
    EXPECT_EQ(module.get_metadata("type"), type);
  }
}

// Start-up time and memory of a whole run, held after its first and its last frame.
struct measured_run {
  show_result result;
  std::chrono::milliseconds to_first_frame{-1};
  long peak_memory_kib = -1;
};

// The most memory the process has held so far (VmHWM), or -1.
long peak_memory_kib(const running_show& show) {
  std::ifstream status("/proc/" + std::to_string(show.process.pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with("VmHWM:")) return std::stol(line.substr(line.find(':') + 1));
  return -1;
}

// Fails where the run did not end or either measure is missing.
void measure_run(const show_data_folder& folder, const std::string& display, measured_run& run) {
  const auto started = std::chrono::steady_clock::now();
  running_show show = start_show_on(display, folder, {.hold_frames = {1, frames_in_show}});
  if (wait_for_hold(show, 1, hold_limit)) {
    run.to_first_frame =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    resume_show(show);
  }
  if (wait_for_hold(show, frames_in_show, hold_limit)) {
    run.peak_memory_kib = peak_memory_kib(show);
    resume_show(show);
  }
  run.result = finish_show(show, run_limit);
  std::printf("%s: first frame after %lld ms, peak memory %ld KiB\n", folder.path.c_str(),
              static_cast<long long>(run.to_first_frame.count()), run.peak_memory_kib);
  expect_ran_to_its_end(run.result);
  ASSERT_GT(run.to_first_frame.count(), 0);
  ASSERT_GT(run.peak_memory_kib, 0);
}

using huge_module = on_x_server;

// Neither file is read: the show starts as soon and holds as little memory as
// with its own module, and stays silent.
TEST_F(huge_module, of_64_mib_neither_delays_the_first_frame_nor_takes_memory_and_stays_silent) {
  show_data_folder own("music-own");
  measured_run normal;
  ASSERT_NO_FATAL_FAILURE(measure_run(own, display, normal));

  std::string padded = show_module();
  padded.resize(huge_file_bytes, '\0');
  for (const auto& [label, bytes] : {std::pair{"noise", noise(huge_file_bytes)}, {"padded", padded}}) {
    SCOPED_TRACE(label);
    show_data_folder folder(std::string("music-huge-") + label);
    folder.write_file(music_file_name, bytes);
    measured_run huge;
    ASSERT_NO_FATAL_FAILURE(measure_run(folder, display, huge));
    expect_heard(huge.result, heard::silence);
    EXPECT_LT(huge.to_first_frame - normal.to_first_frame, stall_limit);
    EXPECT_LT(huge.peak_memory_kib - normal.peak_memory_kib, memory_limit_kib);
  }
}

struct no_device_case {
  std::string name;
  std::vector<std::string> environment;
};

void PrintTo(const no_device_case& device, std::ostream* out) { *out << device.name; }

const no_device_case no_device_cases[] = {
    {"no_such_audio_driver", {"SDL_AUDIODRIVER=no such driver"}},
    // As on a machine without a sound card, wherever the test runs.
    {"alsa_without_a_sound_card", {"SDL_AUDIODRIVER=alsa", "AUDIODEV=hw:99"}},
};

class no_sound_device : public on_x_server, public testing::WithParamInterface<no_device_case> {};

TEST_P(no_sound_device, the_show_runs_to_its_end_without_opening_one) {
  show_data_folder folder("no-device");
  running_show show = start_show(folder, {.environment = GetParam().environment});
  const show_result result = finish_show(show, run_limit);

  expect_ran_to_its_end(result);
  EXPECT_EQ(result.output, repeated(loaded_line, int(show_pictures.size())));
  EXPECT_TRUE(events_named(result.events, "audio").empty()) << "a sound device was opened";
}

INSTANTIATE_TEST_SUITE_P(sound_devices, no_sound_device, testing::ValuesIn(no_device_cases),
                         testing::PrintToStringParamName());

}  // namespace
