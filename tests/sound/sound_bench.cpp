// sound_bench.cpp: the recording device and the files behind the sound tests.
#include "tests/sound/sound_bench.h"

#include <errno.h>  // program_invocation_short_name
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/support/disk_audio.h"

namespace {

constexpr std::size_t bytes_per_frame = 2 * sizeof(float);

constexpr auto is_sound = [](float sample) { return sample != 0.0f; };

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
  while (frames_written() < frames && std::chrono::steady_clock::now() <= give_up) wait_ms(10);
  return frames_written() >= frames;
}

std::vector<float> disk_recording::samples() const { return read_disk_audio(file); }

std::vector<float> render_default_module(std::size_t frames) {
  return reference_render(read_file(default_module), frames);
}

std::size_t first_nonzero_sample(std::span<const float> samples, std::size_t from) {
  const auto first = std::ranges::find_if(samples.subspan(std::min(from, samples.size())), is_sound);
  return static_cast<std::size_t>(first - samples.begin());
}

std::size_t end_of_sound(std::span<const float> samples) {
  const auto last = std::find_if(samples.rbegin(), samples.rend(), is_sound);
  return static_cast<std::size_t>(samples.rend() - last);
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
