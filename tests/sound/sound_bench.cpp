// sound_bench.cpp: the recording device and the output capture behind the
// sound tests.
#include "tests/sound/sound_bench.h"

#include <errno.h>  // program_invocation_short_name
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "tests/support/disk_audio.h"

namespace {

constexpr std::size_t bytes_per_frame = 2 * sizeof(float);

// One folder per test and program under the build tree: tests may run in
// parallel (a test and its ThreadSanitizer twin share their names), and each
// run overwrites the last instead of piling up files.
std::filesystem::path test_folder() {
  const auto* test = testing::UnitTest::GetInstance()->current_test_info();
  const std::filesystem::path folder = std::filesystem::path(SOUND_TEST_FILES) / program_invocation_short_name /
                                       (std::string(test->test_suite_name()) + "." + test->name());
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace

disk_recording::disk_recording() : file(test_folder() / "device.raw") {
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
}

std::size_t disk_recording::frames_written() const {
  std::error_code error;
  const auto size = std::filesystem::file_size(file, error);
  return error ? 0 : size / bytes_per_frame;
}

bool disk_recording::wait_for_frames(std::size_t frames) const {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (frames_written() < frames) {
    if (std::chrono::steady_clock::now() > give_up) return false;
    wait_ms(10);
  }
  return true;
}

std::vector<float> disk_recording::samples() const { return read_disk_audio(file); }

std::vector<float> render_default_module(std::size_t frames) {
  return reference_render(read_file(default_module), frames, music_mix_rate);
}

std::size_t first_nonzero_sample(std::span<const float> samples, std::size_t from) {
  const auto begin = samples.begin() + static_cast<std::ptrdiff_t>(std::min(from, samples.size()));
  return static_cast<std::size_t>(std::find_if(begin, samples.end(), [](float s) { return s != 0.0f; }) -
                                  samples.begin());
}

std::size_t end_of_sound(std::span<const float> samples) {
  const auto last = std::find_if(samples.rbegin(), samples.rend(), [](float s) { return s != 0.0f; });
  return static_cast<std::size_t>(samples.rend() - last);
}

std::string output_of(int descriptor, const std::function<void()>& run) {
  const std::filesystem::path capture = test_folder() / ("output " + std::to_string(descriptor) + ".txt");
  std::cout.flush();
  std::fflush(nullptr);
  const int saved = dup(descriptor);
  const int into = open(capture.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  dup2(into, descriptor);
  close(into);
  run();
  std::cout.flush();
  std::fflush(nullptr);
  dup2(saved, descriptor);
  close(saved);
  return read_file(capture);
}

std::filesystem::path file_with(const std::string& name, std::span<const char> bytes) {
  const std::filesystem::path file = test_folder() / name;
  write_file(file, std::string_view(bytes.data(), bytes.size()));
  return file;
}

void wait_ms(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

song* kept(song* loaded) {
  // Never destroyed, so still reachable when the leak check runs at exit.
  static auto* const songs = new std::vector<song*>;
  songs->push_back(loaded);
  return loaded;
}
