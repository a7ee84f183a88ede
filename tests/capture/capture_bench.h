// capture_bench.h: runs the real quorvan-capture program in a folder of its
// own and reads back what it wrote, through ffprobe and ffmpeg.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

// A fresh, empty folder that is removed with everything in it.
struct scratch_folder {
  std::filesystem::path path;
  scratch_folder();
  ~scratch_folder();
  scratch_folder(const scratch_folder&) = delete;
  scratch_folder& operator=(const scratch_folder&) = delete;
  // The names of the files in it, sorted.
  std::vector<std::string> file_names() const;
};

// A scratch folder holding links to the show's eight data files, to run the
// capture in: it reads them from, and writes its stills to, the working directory.
struct capture_folder : scratch_folder {
  capture_folder();
};

struct capture_result {
  int exit_status = -1;  // when it exited
  int signal = 0;        // when a signal ended it
  std::string errors;    // its standard error
};

// Extra environment for the capture, e.g. {"PATH", "/nowhere"}; the rest is inherited.
using environment_changes = std::map<std::string, std::string>;

// Runs quorvan-capture with these arguments in folder and waits for it.
capture_result run_capture(const std::filesystem::path& folder,
                           const std::vector<std::string>& arguments,
                           const environment_changes& changes = {});

// Starts it without waiting; its standard error goes to errors_file.
child_process start_capture(const std::filesystem::path& folder,
                            const std::vector<std::string>& arguments,
                            const environment_changes& changes,
                            const std::filesystem::path& errors_file);
capture_result wait_for_capture(child_process& capture, const std::filesystem::path& errors_file);

// ffprobe's view of one stream ("v:0", "a:0"): codec_name, width, nb_read_frames, ...
std::map<std::string, std::string> probe_stream(const std::filesystem::path& video,
                                                const std::string& stream);

// Every frame of the video as RGB bytes, top row first.
std::vector<std::vector<std::uint8_t>> decode_frames(const std::filesystem::path& video);
// The first audio stream as interleaved stereo floats at 44.1 kHz.
std::vector<float> decode_audio(const std::filesystem::path& video);

// A picture read back from a PNG file as RGB bytes (empty if unreadable).
std::vector<std::uint8_t> read_png_rgb(const std::filesystem::path& file, int width, int height);
