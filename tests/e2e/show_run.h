// show_run.h: runs the real program in a folder of its own on the tests' X
// server, with the probe preloaded and the music captured to a file.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/show_data.h"

// One line of the probe's log: frames presented so far, event name, numbers.
struct probe_event {
  int frame = 0;
  std::string name;
  std::vector<long> values;
};

struct show_options {
  std::vector<int> hold_frames{};                // the show waits after presenting each of these
  std::vector<int> saved_frames{};               // written as frame_<nnnn>.png in the folder
  std::chrono::microseconds pause_per_frame{0};  // slows the show down
  std::vector<std::string> environment{};        // "NAME=value" entries replacing the bench's own
  // Where the music goes: with no entries, to SDL's disk driver and the capture
  // file; else these are a sound server's (sound_server.h), and SDL chooses its
  // driver as on a desktop.
  std::vector<std::string> sound_server{};
};

struct running_show {
  std::filesystem::path folder;
  std::string display;
  child_process process;
  int resume_fd = -1;  // the bench's end of the probe's "resume" FIFO

  // Neither copied nor moved: start_show_on makes it in place.
  ~running_show();
};

// Starts the program in the folder on that X display.
running_show start_show_on(const std::string& display, const show_data_folder& folder,
                           const show_options& options = {});

// Puts a FIFO in the folder in place of any file of that name; throws
// std::runtime_error when it cannot be made.
void put_fifo(const show_data_folder& folder, std::string_view name);

// Waits until the probe logs an event of that name (and first number, if given).
// Nullopt when the time is up or the program has ended without it.
std::optional<probe_event> wait_for_event(const running_show& show, std::string_view name, std::optional<long> value,
                                          std::chrono::milliseconds limit);

// Waits until the show holds after presenting the given frame.
bool wait_for_hold(const running_show& show, int frame, std::chrono::milliseconds limit);

// Polls until the condition holds; false if it does not within the limit.
bool poll_until(const std::function<bool()>& condition, std::chrono::milliseconds limit);

// Lets a held show go on to its next frame.
void resume_show(running_show& show);

// Types keys into the show's display ("f", "shift+f", "Escape"); false if xdotool failed.
bool press_keys(const running_show& show, const std::vector<std::string>& keys);

// Waits for the hold after the given frame, types the keys, lets the show go on.
// False when the show never got there or the keys could not be typed.
bool press_keys_at(running_show& show, int frame, const std::vector<std::string>& keys);

// How many bytes of music the capture file holds so far.
std::size_t captured_bytes(const running_show& show);

// How the program ended and what it printed, and what the probe saw of it.
struct show_result : program_run {
  int frames_presented = -1;  // -1: the process left no count (it did not exit)
  std::vector<probe_event> events;
  std::filesystem::path capture;  // the music the sound device would have played
};

// Waits for the program to end (killing it at the limit) and collects what it left.
show_result finish_show(running_show& show, std::chrono::milliseconds limit);

std::vector<probe_event> read_events(const std::filesystem::path& folder);

// The events of that name, in order.
std::vector<probe_event> events_named(const std::vector<probe_event>& events, std::string_view name);
