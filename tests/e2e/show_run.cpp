// show_run.cpp: the folder, the environment and the control of one run of the
// real program, and reading back what the probe logged.
#include "tests/e2e/show_run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "tests/support/file_bytes.h"

namespace {

constexpr const char* capture_name = "music.raw";
constexpr auto poll_interval = std::chrono::milliseconds(5);
constexpr auto key_limit = std::chrono::seconds(10);
// Time for the typed keys to travel from the server into the program's queue,
// so they arrive with the first frame after the hold.
constexpr auto key_settle_time = std::chrono::milliseconds(30);
constexpr auto hold_limit = std::chrono::seconds(120);

std::string frame_list(const std::vector<int>& frames) {
  std::string text;
  for (const int frame : frames) text += (text.empty() ? "" : ",") + std::to_string(frame);
  return text;
}

// Polls the probe's log until an event matches; nullopt at the limit or once
// the program has ended without it.
std::optional<probe_event> wait_for_match(const running_show& show, auto matches, std::chrono::milliseconds limit) {
  std::optional<probe_event> found;
  const auto found_or_ended = [&] {
    // Whether it has ended is asked before reading, so its last events count.
    const bool ended = has_ended(show.process);
    const std::vector<probe_event> events = read_events(show.folder);
    if (const auto match = std::ranges::find_if(events, matches); match != events.end()) found = *match;
    return found || ended;
  };
  poll_until(found_or_ended, limit);
  return found;
}

}  // namespace

running_show::~running_show() {
  kill_process(process);  // before closing the FIFO, so a held show cannot run on
  if (resume_fd >= 0) close(resume_fd);
}

running_show start_show_on(const std::string& display, const show_data_folder& folder, const show_options& options) {
  // The bench holds the FIFO open for reading and writing, so the probe's
  // open never blocks and its read waits for exactly one byte per hold.
  put_fifo(folder, "resume");
  const int resume_fd = open((folder.path / "resume").c_str(), O_RDWR | O_CLOEXEC);

  process_setup setup{
      .command = {QUORVAN_PROGRAM},
      .environment = {"DISPLAY=" + display, std::string("LD_PRELOAD=") + QUORVAN_SHOW_PROBE,
                      "QUORVAN_PROBE_FOLDER=" + folder.path.string(),
                      "QUORVAN_PROBE_HOLD=" + frame_list(options.hold_frames),
                      "QUORVAN_PROBE_SAVE=" + frame_list(options.saved_frames),
                      "QUORVAN_PROBE_PAUSE=" + std::to_string(options.pause_per_frame.count())},
      .folder = folder.path,
      .output_file = folder.path / "stdout.txt",
      .error_file = folder.path / "stderr.txt",
  };
  std::vector<std::string> sound = options.sound_server;
  if (sound.empty()) sound = {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + (folder.path / capture_name).string()};
  setup.environment.insert(setup.environment.end(), sound.begin(), sound.end());
  setup.environment.insert(setup.environment.end(), options.environment.begin(), options.environment.end());
  return {.folder = folder.path, .display = display, .process = start_process(setup), .resume_fd = resume_fd};
}

void put_fifo(const show_data_folder& folder, std::string_view name) {
  folder.remove_file(name);
  const std::filesystem::path path = folder.path / name;
  if (mkfifo(path.c_str(), 0600) != 0) throw std::runtime_error("cannot make " + path.string());
}

std::vector<probe_event> read_events(const std::filesystem::path& folder) {
  std::ifstream in(folder / "events.log");
  std::vector<probe_event> events;
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    probe_event& event = events.emplace_back();
    fields >> event.frame >> event.name;
    for (long value = 0; fields >> value;) event.values.push_back(value);
  }
  return events;
}

std::vector<probe_event> events_named(const std::vector<probe_event>& events, std::string_view name) {
  std::vector<probe_event> found = events;
  std::erase_if(found, [&](const probe_event& event) { return event.name != name; });
  return found;
}

std::optional<probe_event> wait_for_event(const running_show& show, std::string_view name, std::optional<long> value,
                                          std::chrono::milliseconds limit) {
  const auto matches = [&](const probe_event& event) {
    return event.name == name && (!value || (!event.values.empty() && event.values.front() == *value));
  };
  return wait_for_match(show, matches, limit);
}

bool wait_for_hold(const running_show& show, int frame, std::chrono::milliseconds limit) {
  const auto matches = [&](const probe_event& event) { return event.name == "hold" && event.frame == frame; };
  return wait_for_match(show, matches, limit).has_value();
}

bool poll_until(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(poll_interval);
  }
  return true;
}

void resume_show(running_show& show) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(show.resume_fd, &byte, 1);
}

bool press_keys(const running_show& show, const std::vector<std::string>& keys) {
  std::vector<std::string> command{"xdotool", "key"};
  command.insert(command.end(), keys.begin(), keys.end());
  const auto end = run_process({.command = command, .environment = {"DISPLAY=" + show.display}}, key_limit);
  return end && end->exited_with(0);
}

bool press_keys_at(running_show& show, int frame, const std::vector<std::string>& keys) {
  if (!wait_for_hold(show, frame, hold_limit)) return false;
  const bool pressed = press_keys(show, keys);
  std::this_thread::sleep_for(key_settle_time);
  resume_show(show);
  return pressed;
}

std::size_t captured_bytes(const running_show& show) {
  std::error_code missing;
  const auto size = std::filesystem::file_size(show.folder / capture_name, missing);
  return missing ? 0 : std::size_t(size);
}

show_result finish_show(running_show& show, std::chrono::milliseconds limit) {
  show_result result;
  result.end = wait_for_end(show.process, limit);
  kill_process(show.process);
  result.output = read_file(show.folder / "stdout.txt");
  result.errors = read_file(show.folder / "stderr.txt");
  const std::string count = read_file(show.folder / "frames");
  if (!count.empty()) result.frames_presented = std::stoi(count);
  result.events = read_events(show.folder);
  result.capture = show.folder / capture_name;
  return result;
}
