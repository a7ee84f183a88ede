// video_encoder.h: the ffmpeg command that turns raw RGB frames on its standard
// input and the raw music samples in a file into the finished video.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "capture/options.h"

struct encoder_settings {
  container format = container::mp4;
  int width = 0;
  int height = 0;
  int fps = 0;
  std::filesystem::path audio_file;   // raw stereo floats at audio_rate
  std::filesystem::path output_file;  // written whatever its name: the format is given
};

// The program and its arguments, for piped_process.
std::vector<std::string> ffmpeg_command(const encoder_settings& settings);
