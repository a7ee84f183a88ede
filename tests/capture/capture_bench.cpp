// capture_bench.cpp: a child process for the program under test, popen for
// ffprobe and ffmpeg, libpng for the stills.
#include "tests/capture/capture_bench.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

// Far more than a capture in these tests takes, even on a busy machine.
constexpr auto capture_time_limit = std::chrono::minutes(5);

constexpr std::array data_files{"smiley_256.raw", "who_256.raw",  "greets_256.raw", "cul1_256.raw",
                                "cul2_256.raw",   "cul3_256.raw", "drevik_256.raw", "quorvan.xm"};

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

child_process start_capture(const std::filesystem::path& folder,
                            const std::vector<std::string>& arguments,
                            const environment_changes& changes,
                            const std::filesystem::path& errors_file) {
  process_setup setup;
  setup.command = {QUORVAN_CAPTURE};
  setup.folder = folder;
  setup.error_file = errors_file;
  setup.command.insert(setup.command.end(), arguments.begin(), arguments.end());
  for (const auto& [name, value] : changes) setup.environment.push_back(name + "=" + value);
  return start_process(setup);
}

capture_result wait_for_capture(child_process& capture, const std::filesystem::path& errors_file) {
  const std::optional<process_end> end = wait_for_end(capture, capture_time_limit);
  if (!end) throw std::runtime_error("the capture ran past its time limit");
  return {.exit_status = end->exit_code, .signal = end->signal, .errors = read_text(errors_file)};
}

capture_result run_capture(const std::filesystem::path& folder,
                           const std::vector<std::string>& arguments,
                           const environment_changes& changes) {
  // Kept outside the folder, so it never shows among the capture's files.
  const scratch_folder errors_folder;
  const auto errors_file = errors_folder.path / "errors.txt";
  child_process capture = start_capture(folder, arguments, changes, errors_file);
  return wait_for_capture(capture, errors_file);
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
