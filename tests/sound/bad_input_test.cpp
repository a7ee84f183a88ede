// bad_input_test.cpp: what the layer does with no song, bad files and no
// device: no song or no effect, no crash, nothing on standard output, and one
// line on standard error that says why.
#include <SDL.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "sound/music.h"
#include "tests/sound/sound_bench.h"

namespace {

struct bad_input : testing::Test {
  void SetUp() override {
    ASSERT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "needs a process of its own, as ctest runs it";
  }
};

// Loads the file, which gives no song, prints nothing and says on standard
// error that there is no music and why; returns what it loaded.
song* load_refused(const std::filesystem::path& file, const std::string& why) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  song* loaded = music_load_song(file.c_str());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << file;
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            std::string(program_invocation_short_name) + ": no music: " + file.string() + ": " + why + "\n");
  EXPECT_EQ(loaded, nullptr) << file;
  return loaded;
}

// The start, then noise up to `size` bytes in all.
std::string garbage(std::size_t size, std::string bytes = "") {
  std::mt19937 random(1234);
  while (bytes.size() < size) bytes += static_cast<char>(random());
  return bytes;
}

TEST_F(bad_input, loads_no_song_from_a_missing_empty_truncated_or_garbage_file_and_says_why_on_stderr) {
  const std::string module = read_file(default_module);
  ASSERT_GT(module.size(), 400u);
  const std::string not_a_module = "not a module this show can play";
  const std::vector<std::pair<std::filesystem::path, std::string>> bad_files = {
      {"no such file.xm", "No such file or directory"},
      {file_with("empty.xm", {}), not_a_module},
      {file_with("signature only.xm", std::span(module).first(17)), not_a_module},
      {file_with("cut in the first header.xm", std::span(module).first(60)), not_a_module},
      {file_with("noise.xm", garbage(20000)), not_a_module},
      {file_with("noise after a module signature.xm", garbage(20000, "Extended Module: ")), not_a_module},
      {std::filesystem::path(SOUND_TEST_FILES), "not a regular file"},  // a folder
  };
  for (const auto& [file, why] : bad_files) EXPECT_EQ(music_play_song(load_refused(file, why)), 0) << file;
  EXPECT_EQ(music_load_song(nullptr), nullptr);
}

// Only regular files are read, opened without blocking: a FIFO with no writer
// would hold the show forever, and a device may never end. A load that blocks
// is ended by the alarm, which fails the test.
TEST_F(bad_input, loads_no_song_from_a_fifo_with_or_without_a_writer_or_a_device_and_never_blocks) {
  const std::string module = read_file(default_module);
  const std::span<const char> start = std::span(module).first(4096);
  const std::filesystem::path fifo = file_with("start.xm", start).parent_path() / "fifo.xm";
  std::filesystem::remove(fifo);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  alarm(10);
  load_refused(fifo, "not a regular file");
  EXPECT_EQ(music_load_song("/dev/zero"), nullptr);

  // With a writer holding it open and the start of the module waiting in it,
  // the FIFO is still not read: the bytes stay in it.
  const int writer = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(write(writer, start.data(), start.size()), ssize_t(start.size()));
  EXPECT_EQ(music_load_song(fifo.c_str()), nullptr);
  std::vector<char> left(2 * start.size());
  EXPECT_EQ(read(writer, left.data(), left.size()), ssize_t(start.size()));
  close(writer);
  alarm(0);
}

// Trailing bytes do not stop a module from loading, up to 32 MiB in all; a
// larger file is not read at all. The padding is noise, which libopenmpt
// does not walk through (zeros it does, slowly under sanitizers).
TEST_F(bad_input, loads_a_module_padded_to_32_mib_but_not_one_padded_a_byte_more) {
  constexpr std::size_t largest_module_bytes = std::size_t{32} << 20;
  std::string padded = garbage(largest_module_bytes, read_file(default_module));
  EXPECT_NE(kept(music_load_song(file_with("at the limit.xm", padded).c_str())), nullptr);
  padded.push_back(0);
  load_refused(file_with("over the limit.xm", padded), "larger than 32 MiB (33554433 bytes)");
}

TEST_F(bad_input, plays_nothing_when_asked_to_play_no_song) {
  disk_recording recording;
  ASSERT_EQ(sound_init(music_mix_rate, 6, 0), 1);
  testing::internal::CaptureStdout();
  const int played = music_play_song(nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(played, 0);
  ASSERT_TRUE(recording.wait_for_frames(frames_in_ms(300)));
  const std::vector<float> recorded = recording.samples();
  EXPECT_EQ(first_nonzero_sample(recorded), recorded.size());
}

// Half a module may still load, with what it lost left out; it plays
// whatever is left and prints nothing.
TEST_F(bad_input, plays_a_module_cut_in_half_without_a_crash_or_a_word) {
  disk_recording recording;
  ASSERT_EQ(sound_init(music_mix_rate, 6, 0), 1);
  const std::string module = read_file(default_module);
  const auto half = file_with("cut in half.xm", std::span(module).first(module.size() / 2));
  testing::internal::CaptureStdout();
  music_play_song(kept(music_load_song(half.c_str())));
  wait_ms(500);
  music_stop_all_songs();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_GT(recording.frames_written(), frames_in_ms(300)) << "the device did not play";
}

// With no device every call still works: loading gives a song, and playing
// and stopping it succeed without a sound.
void expect_silent_layer_without_device() {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  std::vector<int> results{sound_init(music_mix_rate, 6, 0)};
  song* tune = kept(music_load_song(default_module.c_str()));
  // A braced list is evaluated in order, left to right.
  results.insert(results.end(), {tune != nullptr, music_play_song(tune), music_play_song(tune), music_stop_all_songs(),
                                 music_play_song(tune), sound_init(music_mix_rate, 6, 0)});
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  const std::string on_stderr = testing::internal::GetCapturedStderr();
  // Once, in SDL's words, however often the device is asked for.
  const std::string said = std::string(program_invocation_short_name) + ": no sound: ";
  EXPECT_EQ(on_stderr.substr(0, said.size()), said) << on_stderr;
  EXPECT_GT(on_stderr.size(), said.size() + 1) << on_stderr;
  EXPECT_EQ(std::ranges::count(on_stderr, '\n'), 1) << on_stderr;
  // start, loaded, play, play again, stop, play after the stop, start again
  EXPECT_EQ(results, (std::vector<int>{0, 1, 1, 1, 1, 1, 0}));
}

TEST_F(bad_input, reports_no_device_when_sdl_has_no_audio_driver_and_stays_harmless) {
  setenv("SDL_AUDIODRIVER", "no such driver", 1);
  expect_silent_layer_without_device();
}

TEST_F(bad_input, reports_no_device_when_the_device_cannot_be_opened_and_stays_harmless) {
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", "/no such folder/device.raw", 1);
  expect_silent_layer_without_device();
}

}  // namespace
