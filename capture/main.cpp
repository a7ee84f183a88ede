// main.cpp: quorvan-capture. Runs the show off screen and turns every frame it
// presents, with the music, into a video through ffmpeg, or into PNG stills.
#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "assets/show_pictures.h"
#include "capture/audio_track.h"
#include "capture/options.h"
#include "capture/piped_process.h"
#include "capture/progress.h"
#include "capture/show_frames.h"
#include "capture/temporary_file.h"
#include "capture/video_encoder.h"
#include "offscreen/offscreen_context.h"
#include "png/png_file.h"

namespace {

constexpr int exit_done = 0;
constexpr int exit_failed = 1;
constexpr int exit_bad_usage = 2;

// Ctrl+C, hang-up and termination stop the capture between two frames, so
// that its temporary files are removed before the process ends by the signal.
volatile sig_atomic_t interrupting_signal = 0;

void note_interrupt(int signal_number) { interrupting_signal = signal_number; }

void watch_for_interrupts() {
  struct sigaction action {};
  action.sa_handler = note_interrupt;
  sigemptyset(&action.sa_mask);
  for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal_number, &action, nullptr);
}

// Ends the process by the signal that interrupted it, as the caller expects.
[[noreturn]] void end_by_interrupt() {
  signal(interrupting_signal, SIG_DFL);
  raise(interrupting_signal);
  std::_Exit(exit_failed);
}

int failure(const std::string& why) {
  std::fprintf(stderr, "quorvan-capture: %s\n", why.c_str());
  return exit_failed;
}

std::string show_ended_early(int frames_presented, int wanted) {
  return "the show ended after frame " + std::to_string(frames_presented) + ", before frame " + std::to_string(wanted);
}

// The music for frames first to last, in a temporary file for ffmpeg to read.
std::string write_music(const temporary_file& file, const capture_options& options) {
  const auto first_sample = audio_sample_at_frame(options.first_frame, options.fps);
  const auto sample_count = audio_sample_at_frame(options.last_frame + 1, options.fps) - first_sample;
  return write_raw_samples(file.path(), render_music(music_file_name, first_sample, sample_count));
}

int capture_video(const offscreen_context& context, const capture_options& options) {
  const temporary_file music(std::filesystem::temp_directory_path(), "quorvan-capture-music");
  if (!music.ok()) return failure(music.error());
  if (const auto why = write_music(music, options); !why.empty()) return failure(why);

  temporary_file video = temporary_file_next_to(options.output);
  if (!video.ok()) return failure(video.error());
  piped_process ffmpeg(
      ffmpeg_command({options.format, options.width, options.height, options.fps, music.path(), video.path()}));
  if (!ffmpeg.ok()) return failure(ffmpeg.error() + " (it comes in the Debian package ffmpeg)");

  progress_bar progress = start_progress(options.last_frame);
  const auto from_first_frame = [&](int frame) { return frame >= options.first_frame; };
  const auto encode = [&](int frame, std::span<const std::uint8_t> rgb) {
    show_progress(progress, frame);
    return interrupting_signal == 0 && (rgb.empty() || ffmpeg.write(rgb));
  };
  const show_outcome outcome = run_show_frames(context, options.last_frame, {from_first_frame, encode});
  end_progress(progress);

  if (interrupting_signal != 0) return exit_failed;
  if (!outcome.error.empty()) return failure(outcome.error);
  if (!ffmpeg.finish()) return failure(ffmpeg.error());
  if (outcome.frames_presented < options.last_frame)
    return failure(show_ended_early(outcome.frames_presented, options.last_frame));
  if (!video.rename_to(options.output)) return failure(video.error());
  return exit_done;
}

// Each still is complete under its final name, or not there at all.
std::string save_still(const std::filesystem::path& folder, int frame, std::span<const std::uint8_t> rgb, int width,
                       int height) {
  const std::filesystem::path name = folder / still_file_name(frame);
  temporary_file still = temporary_file_next_to(name);
  if (!still.ok()) return still.error();
  if (auto why = write_png(still.path(), rgb, width, height); !why.empty()) return why;
  if (!still.rename_to(name)) return still.error();
  return {};
}

int capture_stills(const offscreen_context& context, const capture_options& options) {
  const int last_still = options.stills.back();
  progress_bar progress = start_progress(last_still);
  std::string error;
  const frame_handler handler{[&](int frame) { return std::ranges::binary_search(options.stills, frame); },
                              [&](int frame, std::span<const std::uint8_t> rgb) {
                                show_progress(progress, frame);
                                if (!rgb.empty())
                                  error = save_still(options.still_folder, frame, rgb, options.width, options.height);
                                return interrupting_signal == 0 && error.empty();
                              }};
  const show_outcome outcome = run_show_frames(context, last_still, handler);
  end_progress(progress);

  if (interrupting_signal != 0) return exit_failed;
  if (!outcome.error.empty()) return failure(outcome.error);
  if (!error.empty()) return failure(error);
  if (outcome.frames_presented < last_still) return failure(show_ended_early(outcome.frames_presented, last_still));
  return exit_done;
}

// With --data the tool works in the data folder, where the show finds its files
// by their names; the video and the stills still go where the user started it.
std::string move_to_data_folder(capture_options& options) {
  if (options.data_folder.empty()) return {};
  std::error_code error;
  const std::filesystem::path start = std::filesystem::current_path(error);
  if (!error) std::filesystem::current_path(options.data_folder, error);
  if (error) return "cannot read the data files in " + options.data_folder + ": " + error.message();
  options.output = (start / options.output).string();
  options.still_folder = start.string();
  return {};
}

int run(capture_options options) {
  if (const auto why = move_to_data_folder(options); !why.empty()) return failure(why);
  const offscreen_context context(options.width, options.height);
  if (!context.ok()) return failure("no offscreen OpenGL context: " + context.error());
  return options.stills.empty() ? capture_video(context, options) : capture_stills(context, options);
}

}  // namespace

int main(int argc, char** argv) {
  const parsed_command_line command_line = parse_command_line(argc, argv);
  if (command_line.outcome == parse_outcome::help) {
    std::fputs(usage_text().c_str(), stdout);
    return exit_done;
  }
  if (command_line.outcome == parse_outcome::bad_usage) {
    std::fprintf(stderr, "quorvan-capture: %s\nTry 'quorvan-capture --help' for more information.\n",
                 command_line.error.c_str());
    return exit_bad_usage;
  }

  watch_for_interrupts();
  const int status = run(command_line.options);
  if (interrupting_signal != 0) end_by_interrupt();  // everything temporary is gone by now
  return status;
}
