// capture_bench.cpp: the program under test and ffprobe and ffmpeg as child
// processes, their output read back whole.
#include "tests/capture/capture_bench.h"

#include <cstring>
#include <sstream>

#include "sound/music.h"

namespace {

constexpr auto decode_limit = std::chrono::minutes(2);

std::string output_of_tool(const std::vector<std::string>& command) {
  return run_program({.command = command}, decode_limit).output;
}

}  // namespace

process_setup capture_setup(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                            const std::vector<std::string>& environment) {
  process_setup setup{.command = {QUORVAN_CAPTURE}, .environment = environment, .folder = folder};
  setup.command.insert(setup.command.end(), arguments.begin(), arguments.end());
  return setup;
}

program_run run_capture(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                        const std::vector<std::string>& environment) {
  return run_program(capture_setup(folder, arguments, environment), capture_limit);
}

std::map<std::string, std::string> probe_stream(const std::filesystem::path& video, const std::string& stream) {
  const std::string text = output_of_tool(
      {"ffprobe", "-v", "error", "-count_frames", "-select_streams", stream, "-show_entries",
       "stream=codec_name,pix_fmt,width,height,r_frame_rate,nb_read_frames,sample_rate,channels,sample_fmt,duration",
       "-of", "default=noprint_wrappers=1", video.string()});
  std::map<std::string, std::string> values;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);)
    if (const auto equals = line.find('='); equals != std::string::npos)
      values[line.substr(0, equals)] = line.substr(equals + 1);
  return values;
}

std::vector<rgb_frame> decode_frames(const std::filesystem::path& video) {
  const auto size = probe_stream(video, "v:0");
  const int width = std::stoi(size.at("width")), height = std::stoi(size.at("height"));
  const std::ptrdiff_t frame_bytes = std::ptrdiff_t(width) * height * 3;
  const std::string bytes = output_of_tool(
      {"ffmpeg", "-v", "error", "-i", video.string(), "-map", "0:v", "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
  std::vector<rgb_frame> frames;
  for (auto at = bytes.begin(); bytes.end() - at >= frame_bytes; at += frame_bytes)
    frames.push_back({.width = width, .height = height, .bytes = {at, at + frame_bytes}});
  return frames;
}

std::vector<float> decode_audio(const std::filesystem::path& video) {
  const std::string bytes = output_of_tool({"ffmpeg", "-v", "error", "-i", video.string(), "-map", "0:a", "-f", "f32le",
                                            "-ar", std::to_string(music_mix_rate), "-ac", "2", "-"});
  std::vector<float> samples(bytes.size() / sizeof(float));
  std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
  return samples;
}
