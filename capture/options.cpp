// options.cpp: reads the capture tool's command line with getopt_long and
// checks every value, so the rest of the tool can trust what it is given.
#include "capture/options.h"

#include <getopt.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string_view>

namespace {

// Stills are named by frame number, four digits wide.
const std::string still_prefix = "quorvan-frame-";
const std::string still_suffix = ".png";

enum option_code : int { fps_option = 256, size_option, frames_option, png_option, data_option };

constexpr option long_options[] = {
    {"fps", required_argument, nullptr, fps_option},
    {"size", required_argument, nullptr, size_option},
    {"frames", required_argument, nullptr, frames_option},
    {"png", required_argument, nullptr, png_option},
    {"data", required_argument, nullptr, data_option},
    {"help", no_argument, nullptr, 'h'},
    {nullptr, 0, nullptr, 0},
};

// A whole decimal number with nothing before or after it.
std::optional<int> whole_number(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Splits "left<separator>right" at the first separator.
std::optional<std::pair<std::string_view, std::string_view>> split_at(std::string_view text, char separator) {
  const auto at = text.find(separator);
  if (at == std::string_view::npos) return std::nullopt;
  return std::pair{text.substr(0, at), text.substr(at + 1)};
}

bool is_show_frame(std::optional<int> frame) { return frame && *frame >= 1 && *frame <= frames_in_show; }

std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

std::string read_fps(std::string_view text, capture_options& options) {
  const auto fps = whole_number(text);
  if (!fps || *fps < 1 || *fps > max_fps)
    return "--fps wants a whole number of frames per second from 1 to " + std::to_string(max_fps) + ", not " +
           quoted(text);
  options.fps = *fps;
  return {};
}

// Both sides even: H.264 in yuv420p halves the colour resolution both ways.
std::string read_size(std::string_view text, capture_options& options) {
  const auto sides = split_at(text, 'x');
  const auto width = sides ? whole_number(sides->first) : std::nullopt;
  const auto height = sides ? whole_number(sides->second) : std::nullopt;
  const auto fits = [](std::optional<int> side) {
    return side && *side >= min_side && *side <= max_side && *side % 2 == 0;
  };
  if (!fits(width) || !fits(height))
    return "--size wants WIDTHxHEIGHT, two even numbers from " + std::to_string(min_side) + " to " +
           std::to_string(max_side) + " (like 1280x960), not " + quoted(text);
  options.width = *width;
  options.height = *height;
  return {};
}

std::string read_frames(std::string_view text, capture_options& options) {
  const auto ends = split_at(text, '-');
  const auto first = ends ? whole_number(ends->first) : std::nullopt;
  const auto last = ends ? whole_number(ends->second) : std::nullopt;
  if (!is_show_frame(first) || !is_show_frame(last) || *first > *last)
    return "--frames wants FIRST-LAST with 1 <= FIRST <= LAST <= " + std::to_string(frames_in_show) + ", not " +
           quoted(text);
  options.first_frame = *first;
  options.last_frame = *last;
  return {};
}

std::string read_stills(std::string_view text, capture_options& options) {
  const std::string_view whole = text;
  while (true) {
    const auto at = text.find(',');
    const auto frame = whole_number(text.substr(0, at));
    if (!is_show_frame(frame))
      return "--png wants frame numbers from 1 to " + std::to_string(frames_in_show) + " separated by commas, not " +
             quoted(whole);
    options.stills.push_back(*frame);
    if (at == std::string_view::npos) break;
    text.remove_prefix(at + 1);
  }
  std::ranges::sort(options.stills);
  // std::unique, not std::ranges::unique: clang 14 cannot build the latter's
  // subrange with this libstdc++, and the sanitized build uses clang.
  options.stills.erase(std::unique(options.stills.begin(), options.stills.end()), options.stills.end());
  return {};
}

std::string read_output(std::string_view name, capture_options& options) {
  if (name.ends_with(".mp4")) {
    options.format = container::mp4;
  } else if (name.ends_with(".mkv")) {
    options.format = container::mkv;
  } else {
    return "the video's name must end in .mp4 (H.264 and AAC) or .mkv (lossless), not " + quoted(name);
  }
  options.output = name;
  return {};
}

std::string read_option(int code, std::string_view value, capture_options& options) {
  switch (code) {
    case fps_option: return read_fps(value, options);
    case size_option: return read_size(value, options);
    case frames_option: return read_frames(value, options);
    case png_option: return read_stills(value, options);
    case data_option:
      if (value.empty()) return "--data wants a folder";
      options.data_folder = value;
      return {};
    default: return "unknown option";
  }
}

// Why getopt_long stopped at the option the user typed.
std::string refused_option(int code, char** argv) {
  const std::string typed = argv[optind - 1];
  if (code == ':') return quoted(typed) + " wants a value";
  if (optopt == 0) return "unknown option " + quoted(typed);
  if (typed.starts_with("--")) return quoted(typed) + " takes no value";
  return "unknown option " + quoted(std::string{'-', char(optopt)});
}

parsed_command_line refused(std::string why) { return {parse_outcome::bad_usage, {}, std::move(why)}; }

}  // namespace

parsed_command_line parse_command_line(int argc, char** argv) {
  capture_options options;
  bool frames_given = false;
  optind = 0;  // start afresh, even when called more than once
  opterr = 0;  // every message comes from here, in one voice
  for (int code; (code = getopt_long(argc, argv, ":h", long_options, nullptr)) != -1;) {
    if (code == 'h') return {parse_outcome::help, options, {}};
    if (code == '?' || code == ':') return refused(refused_option(code, argv));
    if (std::string why = read_option(code, optarg, options); !why.empty()) return refused(std::move(why));
    frames_given = frames_given || code == frames_option;
  }

  const int names_given = argc - optind;
  if (names_given > 1) return refused("one video at a time: " + quoted(argv[optind + 1]) + " is one too many");
  if (!options.stills.empty() && (names_given > 0 || frames_given))
    return refused("--png saves stills instead of a video: it takes no video name and no --frames");
  if (names_given == 1)
    if (std::string why = read_output(argv[optind], options); !why.empty()) return refused(std::move(why));
  return {parse_outcome::run, options, {}};
}

namespace {

// The help text, with the values of the constants above put in for their {names}.
constexpr std::string_view usage_template = R"(Usage: quorvan-capture [OPTION]... [VIDEO]
Renders the show off screen, frame by frame, and encodes every frame it
presents, with the music, into VIDEO (default "{output}").
It needs no display and no sound device, and reads the show's eight data
files from the working directory (or --data's). Encoding runs the ffmpeg
program (Debian package ffmpeg).

The show is {frames} frames long, {seconds} seconds at {fps} frames per second;
the video's first frame is the show's first, and the music starts with it.

VIDEO's extension chooses the format:
  .mp4   H.264 (yuv420p) with AAC: small, plays everywhere
  .mkv   FFV1 (RGB) with 32-bit float PCM: lossless, every colour exact

Options:
      --fps=N          frames per second of the video, 1 to {max_fps} (default {fps});
                       the show draws one frame per video frame, so this is
                       also its pace, and the music plays for as long
      --size=WxH       encode at W by H pixels, even numbers from {min_side} to
                       {max_side} (default {width}x{height}); the show's 640x480
                       picture is scaled to fit at 4:3 with black around it,
                       exactly as the program shows it on such a screen
      --frames=A-B     encode only the show's frames A to B (from 1); the
                       frames before A are still drawn, as the show moves on
                       by drawing, and the music starts at frame A's time
      --png=N[,N]...   save the frames N as PNG stills instead of a video:
                       "{still}" in the working directory
      --data=FOLDER    read the eight data files from FOLDER instead of the
                       working directory; the video and the stills are
                       still written where they would be without it
  -h, --help           show this help and exit

A progress bar is shown on standard error when that is a terminal.
The video is written under a temporary name next to VIDEO and renamed only
when complete: a failed or interrupted capture leaves no partial file.

Exit status: 0 when done, 1 when the capture failed, 2 for a bad command line;
an interrupted capture removes its files and ends by the signal.

Examples:
  quorvan-capture                      the whole show into {output}
  quorvan-capture --size=1280x960 quorvan-hd.mkv
  quorvan-capture --frames={final_scene}-{frames} final-scene.mp4
  quorvan-capture --png=1,481,2400
)";

std::string replace_all(std::string text, std::string_view name, const std::string& value) {
  for (auto at = text.find(name); at != std::string::npos; at = text.find(name, at + value.size()))
    text.replace(at, name.size(), value);
  return text;
}

}  // namespace

std::string usage_text() {
  char seconds[16];
  std::snprintf(seconds, sizeof seconds, "%.2f", double(frames_in_show) / default_fps);
  const std::pair<std::string_view, std::string> values[] = {
      {"{output}", default_output},
      {"{frames}", std::to_string(frames_in_show)},
      {"{final_scene}", std::to_string(scene_first_frames.back())},
      {"{seconds}", seconds},
      {"{fps}", std::to_string(default_fps)},
      {"{max_fps}", std::to_string(max_fps)},
      {"{min_side}", std::to_string(min_side)},
      {"{max_side}", std::to_string(max_side)},
      {"{width}", std::to_string(default_width)},
      {"{height}", std::to_string(default_height)},
      {"{still}", still_prefix + "NNNN" + still_suffix},
  };
  std::string text{usage_template};
  for (const auto& [name, value] : values) text = replace_all(std::move(text), name, value);
  return text;
}

std::string still_file_name(int frame) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04d", frame);
  return still_prefix + digits + still_suffix;
}
