// capture_bench.h: runs the real quorvan-capture program in a folder of its
// own and reads back what it wrote, through ffprobe and ffmpeg.
#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/rgb_frame.h"

// Far more than a capture in these tests takes, even on a busy machine.
inline constexpr auto capture_limit = std::chrono::minutes(5);

// quorvan-capture with these arguments, to be started in folder, with these
// "NAME=value" entries over the test's environment, e.g. "PATH=/nowhere".
process_setup capture_setup(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                            const std::vector<std::string>& environment = {});

// Runs it to its end.
program_run run_capture(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                        const std::vector<std::string>& environment = {});

// ffprobe's view of one stream ("v:0", "a:0"): codec_name, width, nb_read_frames, ...
std::map<std::string, std::string> probe_stream(const std::filesystem::path& video, const std::string& stream);

// Every frame of the video.
std::vector<rgb_frame> decode_frames(const std::filesystem::path& video);
// The first audio stream as interleaved stereo floats at 44.1 kHz.
std::vector<float> decode_audio(const std::filesystem::path& video);
