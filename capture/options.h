// options.h: what the capture tool is asked to make, read from its command line
// (GNU style, --help), with its defaults in one place.
#pragma once

#include <string>
#include <vector>

#include "show/timeline.h"

inline constexpr int default_fps = 60;
inline constexpr int max_fps = 240;
inline constexpr int default_width = 640;
inline constexpr int default_height = 480;
inline constexpr int min_side = 16;
inline constexpr int max_side = 8192;
inline constexpr const char* default_output = "quorvan.mp4";

// The video's format follows the output's extension.
enum class container { mp4, mkv };

struct capture_options {
  int fps = default_fps;
  int width = default_width;
  int height = default_height;
  int first_frame = 1;  // the frames to encode, both included
  int last_frame = frames_in_show;
  std::vector<int> stills;  // frames to save as PNG instead of a video, ascending
  std::string output = default_output;
  // Where the eight data files are read, and where the stills are written:
  // the working directory when empty.
  std::string data_folder;
  std::string still_folder;
  container format = container::mp4;
};

enum class parse_outcome { run, help, bad_usage };

struct parsed_command_line {
  parse_outcome outcome = parse_outcome::run;
  capture_options options;
  std::string error;  // why the command line was refused, for bad_usage
};

parsed_command_line parse_command_line(int argc, char** argv);

// The --help text.
std::string usage_text();

// The file name of the still of one frame, e.g. "quorvan-frame-0042.png".
std::string still_file_name(int frame);
