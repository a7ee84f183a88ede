// audio_track_test.cpp: the music of a captured stretch, where each frame's
// samples begin, and what a missing or broken module gives and says.
#include "capture/audio_track.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <libopenmpt/libopenmpt.hpp>
#include <numeric>

#include "tests/support/disk_audio.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/show_data.h"

namespace {

const std::filesystem::path module_file = built_module();

double loudness(std::span<const float> samples) {
  const double sum = std::inner_product(samples.begin(), samples.end(), samples.begin(), 0.0);
  return samples.empty() ? 0.0 : std::sqrt(sum / double(samples.size()));
}

TEST(audio_timeline, gives_every_frame_735_samples_at_60_fps_and_the_show_2347590) {
  EXPECT_EQ(audio_sample_at_frame(1, 60), 0);
  for (int frame = 1; frame <= 3194; ++frame)
    ASSERT_EQ(audio_sample_at_frame(frame + 1, 60) - audio_sample_at_frame(frame, 60), 735);
  EXPECT_EQ(audio_sample_at_frame(3195, 60), 2347590);
}

TEST(audio_timeline, rounds_each_frame_start_to_the_nearest_sample_without_drift) {
  for (const int fps : {7, 24, 25, 30, 50, 59, 144, 240})
    for (int frame = 1; frame <= 3195; ++frame) {
      const double exact = double(frame - 1) * 44100 / fps;
      ASSERT_LE(std::abs(double(audio_sample_at_frame(frame, fps)) - exact), 0.5)
          << "frame " << frame << " at " << fps << " fps";
    }
}

// The music and what was said on standard error while rendering it.
std::pair<std::vector<float>, std::string> render_saying(const std::filesystem::path& file, std::int64_t count) {
  testing::internal::CaptureStderr();
  auto samples = render_music(file, 0, count);
  return {std::move(samples), testing::internal::GetCapturedStderr()};
}

TEST(music_rendering, is_silence_of_the_asked_length_when_the_module_is_missing) {
  const auto [samples, said] = render_saying("/nonexistent/quorvan.xm", 4410);
  ASSERT_EQ(samples.size(), 2u * 4410);
  EXPECT_TRUE(std::ranges::all_of(samples, [](float s) { return s == 0.0f; }));
  EXPECT_EQ(said, std::string(program_invocation_short_name) +
                      ": no music: /nonexistent/quorvan.xm: No such file or directory\n");
}

// As in the show: a FIFO is never opened for reading (a FIFO without a writer
// would hold the capture for ever), and a file over 32 MiB is not read. A
// rendering that blocks is ended by the alarm, which fails the test.
TEST(music_rendering, is_silence_with_a_line_on_stderr_for_a_fifo_a_folder_a_40_mib_file_or_no_module) {
  const scratch_folder folder("broken-module");
  const auto broken = folder.path / "broken.xm";
  write_file(broken, "Extended Module: not really, just text that looks a little like one");
  const auto fifo = folder.path / "fifo.xm";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string large = read_file(module_file);
  large.resize(40u << 20, 'x');
  const auto too_large = folder.path / "large.xm";
  write_file(too_large, large);
  const std::vector<std::pair<std::filesystem::path, std::string>> cases = {
      {broken, "not a module this show can play"},
      {fifo, "not a regular file"},
      {folder.path, "not a regular file"},
      {too_large, "larger than 32 MiB (41943040 bytes)"}};
  alarm(5);
  for (const auto& [file, why] : cases) {
    const auto [samples, said] = render_saying(file, 44100);
    ASSERT_EQ(samples.size(), 2u * 44100);
    EXPECT_EQ(loudness(samples), 0.0) << file;
    EXPECT_EQ(said, std::string(program_invocation_short_name) + ": no music: " + file.string() + ": " + why + "\n");
  }
  alarm(0);
}

TEST(music_rendering, starts_a_later_stretch_exactly_where_one_long_rendering_has_it) {
  constexpr std::int64_t first = 2799 * 735;  // frame 2800 at 60 fps
  constexpr std::int64_t count = 31 * 735;
  const auto whole = render_music(module_file, 0, first + count);
  const auto stretch = render_music(module_file, first, count);
  ASSERT_EQ(stretch.size(), std::size_t(2 * count));
  EXPECT_TRUE(std::ranges::equal(stretch, std::span(whole).subspan(std::size_t(2 * first))));
  EXPECT_GT(loudness(stretch), 0.01);
}

TEST(music_rendering, keeps_playing_past_the_end_of_the_module_as_it_loops) {
  std::ostream quiet(nullptr);  // keeps libopenmpt from logging
  const double seconds_played_once = openmpt::module(read_file_bytes(module_file), quiet).get_duration_seconds();
  const auto past_end = std::int64_t((seconds_played_once + 0.5) * audio_rate);
  const auto samples = render_music(module_file, past_end, audio_rate);
  EXPECT_GT(loudness(samples), 0.01);
  EXPECT_TRUE(std::ranges::all_of(samples, [](float s) { return s >= -1.0f && s <= 1.0f; }));
}

TEST(music_file, holds_the_samples_as_raw_floats_or_says_why_not) {
  const std::vector<float> samples{0.0f, -1.0f, 0.25f, 1.0f};
  const scratch_folder folder("raw-samples");
  const auto file = folder.path / "samples.f32";
  EXPECT_EQ(write_raw_samples(file, samples), "");
  EXPECT_EQ(read_disk_audio(file), samples);

  EXPECT_NE(write_raw_samples("/nonexistent/folder/samples.f32", samples), "");
}

}  // namespace
