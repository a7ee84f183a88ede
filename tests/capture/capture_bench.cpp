// capture_bench.cpp: posix_spawn for the program under test, popen for
// ffprobe and ffmpeg, libpng for the stills.
#include "tests/capture/capture_bench.h"

#include <fcntl.h>
#include <png.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

extern char** environ;

namespace {

constexpr std::array data_files{"smiley_256.raw", "who_256.raw",  "greets_256.raw", "cul1_256.raw",
                                "cul2_256.raw",   "cul3_256.raw", "drevik_256.raw", "quorvan.xm"};

// The environment with the changes applied, as spawn wants it.
std::vector<std::string> changed_environment(const environment_changes& changes) {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (!changes.contains(text.substr(0, text.find('=')))) entries.push_back(text);
  }
  for (const auto& [name, value] : changes) entries.push_back(name + "=" + value);
  return entries;
}

std::vector<char*> pointers_to(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (auto& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// The whole output of a shell command, read as bytes.
std::string output_of(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) throw std::runtime_error("cannot run " + command);
  std::string output;
  std::array<char, 1 << 16> block;
  for (std::size_t got; (got = std::fread(block.data(), 1, block.size(), pipe)) > 0;)
    output.append(block.data(), got);
  pclose(pipe);
  return output;
}

std::string quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

std::string read_text(const std::filesystem::path& file) {
  std::ifstream stream(file);
  return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

}  // namespace

scratch_folder::scratch_folder() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "quorvan-capture-test.XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make " + pattern);
  path = pattern;
}

scratch_folder::~scratch_folder() {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

std::vector<std::string> scratch_folder::file_names() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path))
    names.push_back(entry.path().filename().string());
  std::ranges::sort(names);
  return names;
}

capture_folder::capture_folder() {
  for (const char* name : data_files)
    std::filesystem::create_symlink(std::filesystem::path(QUORVAN_DATA_DIR) / name, path / name);
}

pid_t start_capture(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                    const environment_changes& changes, const std::filesystem::path& errors_file) {
  std::vector<std::string> argv_texts{QUORVAN_CAPTURE};
  argv_texts.insert(argv_texts.end(), arguments.begin(), arguments.end());
  std::vector<std::string> environment = changed_environment(changes);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors_file.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t child = -1;
  const int failure = posix_spawn(&child, QUORVAN_CAPTURE, &actions, nullptr,
                                  pointers_to(argv_texts).data(), pointers_to(environment).data());
  posix_spawn_file_actions_destroy(&actions);
  if (failure != 0) throw std::runtime_error("cannot start " QUORVAN_CAPTURE);
  return child;
}

capture_result wait_for_capture(pid_t capture, const std::filesystem::path& errors_file) {
  int status = 0;
  if (waitpid(capture, &status, 0) != capture) throw std::runtime_error("lost the capture");
  capture_result result;
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  result.errors = read_text(errors_file);
  return result;
}

capture_result run_capture(const std::filesystem::path& folder,
                           const std::vector<std::string>& arguments,
                           const environment_changes& changes) {
  // Kept outside the folder, so it never shows among the capture's files.
  const scratch_folder errors_folder;
  const auto errors_file = errors_folder.path / "errors.txt";
  return wait_for_capture(start_capture(folder, arguments, changes, errors_file), errors_file);
}

std::map<std::string, std::string> probe_stream(const std::filesystem::path& video,
                                                const std::string& stream) {
  const std::string text =
      output_of("ffprobe -v error -count_frames -select_streams " + stream +
                " -show_entries stream=codec_name,pix_fmt,width,height,r_frame_rate,nb_read_frames,"
                "sample_rate,channels,sample_fmt,duration -of default=noprint_wrappers=1 " +
                quoted(video));
  std::map<std::string, std::string> values;
  for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
    end = std::min(text.find('\n', start), text.size());
    const std::string line = text.substr(start, end - start);
    if (const auto equals = line.find('='); equals != std::string::npos)
      values[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return values;
}

std::vector<std::vector<std::uint8_t>> decode_frames(const std::filesystem::path& video) {
  const auto size = probe_stream(video, "v:0");
  const std::size_t frame_bytes = std::stoul(size.at("width")) * std::stoul(size.at("height")) * 3;
  const std::string bytes =
      output_of("ffmpeg -v error -i " + quoted(video) + " -map 0:v -f rawvideo -pix_fmt rgb24 -");
  std::vector<std::vector<std::uint8_t>> frames;
  for (std::size_t at = 0; at + frame_bytes <= bytes.size(); at += frame_bytes)
    frames.emplace_back(bytes.begin() + at, bytes.begin() + at + frame_bytes);
  return frames;
}

std::vector<float> decode_audio(const std::filesystem::path& video) {
  const std::string bytes =
      output_of("ffmpeg -v error -i " + quoted(video) + " -map 0:a -f f32le -ar 44100 -ac 2 -");
  std::vector<float> samples(bytes.size() / sizeof(float));
  std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
  return samples;
}

std::vector<std::uint8_t> read_png_rgb(const std::filesystem::path& file, int width, int height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, file.c_str()) == 0) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
  const bool read = png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) != 0;
  if (!read || int(image.width) != width || int(image.height) != height) return {};
  return rgb;
}
