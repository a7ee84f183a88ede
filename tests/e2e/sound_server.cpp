// sound_server.cpp: starts PulseAudio or PipeWire on private sockets with a
// null sink, and records the sink's monitor through parec on a reader thread.
#include "tests/e2e/sound_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <stdexcept>

#include "tests/e2e/show_run.h"
#include "tests/support/file_bytes.h"

namespace {

constexpr const char* sink_name = "show_sink";
constexpr auto stop_grace = std::chrono::seconds(5);
constexpr auto answer_limit = std::chrono::seconds(2);
constexpr auto poll_interval = std::chrono::milliseconds(20);
constexpr std::size_t stereo = 2;
// Small blocks from parec, so each block's arrival time is close to its sound's.
constexpr int parec_latency_ms = 5;

bool pactl_succeeds(const sound_server& server, std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "pactl");
  const process_setup pactl{.command = arguments,
                            .environment = server.client_environment(),
                            .error_file = server.runtime_folder / "pactl.log"};
  return run_program(pactl, answer_limit).exited_with(0);
}

// The sink's own arguments, the same on both servers.
std::string null_sink_arguments() {
  return "sink_name=" + std::string(sink_name) + " format=float32le rate=" + std::to_string(sink_rate) + " channels=2";
}

// Every daemon keeps its home, its settings and its session bus in the
// private folder, so nothing of the machine's own session is read or changed.
std::vector<std::string> daemon_environment(const std::filesystem::path& folder) {
  return {"XDG_RUNTIME_DIR=" + folder.string(), "HOME=" + folder.string(),
          "XDG_CONFIG_HOME=" + (folder / "config").string(),
          "DBUS_SESSION_BUS_ADDRESS=unix:path=" + (folder / "bus").string()};
}

void start_daemon(sound_server& server, std::vector<std::string> command) {
  const std::string log = command.front() + ".log";
  server.names.push_back(command.front());
  server.processes.push_back(start_process({
      .command = std::move(command),
      .environment = daemon_environment(server.runtime_folder),
      .folder = server.runtime_folder,
      .output_file = server.runtime_folder / log,
      .error_file = server.runtime_folder / log,
  }));
}

// Waits until the condition holds; the reason it never did, if so. A daemon
// that ended is named, with the end of its log.
std::optional<std::string> wait_until(sound_server& server, std::chrono::steady_clock::time_point deadline,
                                      const std::function<bool()>& condition) {
  while (!condition()) {
    for (std::size_t at = 0; at < server.processes.size(); ++at)
      if (std::optional<process_end> end = poll_end(server.processes[at]))
        return server.names[at] + " ended (" + describe(*end) + "); its log ends:\n" +
               read_log_end(server.runtime_folder / (server.names[at] + ".log"));
    if (std::chrono::steady_clock::now() >= deadline) return "it did not answer in time";
    std::this_thread::sleep_for(poll_interval);
  }
  return std::nullopt;
}

std::optional<std::string> start_pulseaudio(sound_server& server, std::chrono::steady_clock::time_point deadline) {
  const std::filesystem::path configuration = server.runtime_folder / "server.pa";
  std::ofstream(configuration) << "load-module module-null-sink " << null_sink_arguments() << "\n"
                               << "load-module module-native-protocol-unix auth-anonymous=1\n"
                               << "set-default-sink " << sink_name << "\n";
  start_daemon(server, {"pulseaudio", "--daemonize=no", "-n", "-F", configuration.string(), "--exit-idle-time=-1",
                        "--use-pid-file=no", "--log-target=stderr"});
  return wait_until(server, deadline, [&] { return pactl_succeeds(server, {"info"}); });
}

// PipeWire as a desktop session runs it: on a session bus of its own, with
// WirePlumber to link streams to the default sink, and pipewire-pulse for
// PulseAudio's clients. Its graph runs at the music's rate, so nothing is resampled.
std::optional<std::string> start_pipewire(sound_server& server, std::chrono::steady_clock::time_point deadline) {
  const std::filesystem::path& folder = server.runtime_folder;
  const std::filesystem::path settings = folder / "config" / "pipewire" / "pipewire.conf.d";
  std::filesystem::create_directories(settings);
  std::ofstream(settings / "rate.conf") << "context.properties = {\n  default.clock.rate = " << sink_rate
                                        << "\n  default.clock.allowed-rates = [ " << sink_rate << " ]\n}\n";
  // Without Bluetooth, WirePlumber needs no seat from logind, which a
  // container or a minimal system does not run.
  const std::filesystem::path session = folder / "config" / "wireplumber" / "bluetooth.lua.d";
  std::filesystem::create_directories(session);
  std::ofstream(session / "51-no-bluetooth.lua") << "bluez_monitor.enabled = false\n";
  const auto exists = [](std::filesystem::path socket) { return [socket] { return std::filesystem::exists(socket); }; };

  start_daemon(server, {"dbus-daemon", "--session", "--address=unix:path=" + (folder / "bus").string(), "--nofork",
                        "--nopidfile"});
  if (auto failure = wait_until(server, deadline, exists(folder / "bus"))) return "dbus-daemon: " + *failure;
  start_daemon(server, {"pipewire"});
  if (auto failure = wait_until(server, deadline, exists(folder / "pipewire-0"))) return "pipewire: " + *failure;
  start_daemon(server, {"wireplumber"});
  start_daemon(server, {"pipewire-pulse"});
  if (auto failure = wait_until(server, deadline, [&] { return pactl_succeeds(server, {"info"}); }))
    return "pipewire-pulse: " + *failure;
  // Right after pipewire-pulse first answers, it can still turn these down
  // ("Not supported") while the session is being set up: asked again until they take.
  const std::vector<std::string> requests[] = {{"load-module", "module-null-sink", null_sink_arguments()},
                                               {"set-default-sink", sink_name}};
  for (const std::vector<std::string>& request : requests)
    if (auto failure = wait_until(server, deadline, [&] { return pactl_succeeds(server, request); }))
      return "cannot make the null sink: " + *failure + "\npactl said: " + read_file(folder / "pactl.log");
  return std::nullopt;
}

}  // namespace

std::vector<std::string> sound_server::client_environment() const {
  return {"XDG_RUNTIME_DIR=" + runtime_folder.string(),
          "PULSE_SERVER=unix:" + (runtime_folder / "pulse" / "native").string()};
}

std::string name_of(sound_server_kind kind) {
  return kind == sound_server_kind::pulseaudio ? "pulseaudio" : "pipewire";
}

sound_server_start start_sound_server(sound_server_kind kind, const std::filesystem::path& runtime_folder,
                                      std::chrono::milliseconds limit) {
  std::error_code error;
  std::filesystem::create_directories(runtime_folder, error);
  // The servers want their runtime folder to be the user's alone.
  if (error || chmod(runtime_folder.c_str(), 0700) != 0) return {.failure = "cannot make " + runtime_folder.string()};
  sound_server server{.runtime_folder = runtime_folder};
  const auto deadline = std::chrono::steady_clock::now() + limit;
  std::optional<std::string> failure;
  try {
    failure =
        kind == sound_server_kind::pulseaudio ? start_pulseaudio(server, deadline) : start_pipewire(server, deadline);
  } catch (const std::exception& cannot_start) {
    failure = cannot_start.what();
  }
  if (failure) {
    kill_sound_server(server);
    return {.failure = name_of(kind) + ": " + *failure};
  }
  return {.server = std::move(server)};
}

void stop_sound_server(sound_server& server) {
  for (auto daemon = server.processes.rbegin(); daemon != server.processes.rend(); ++daemon)
    stop_process(*daemon, stop_grace);
}

void kill_sound_server(sound_server& server) {
  for (child_process& daemon : server.processes) kill_process(daemon);
}

sink_recording::sink_recording(const sound_server& server) {
  static std::atomic<int> count = 0;
  const std::filesystem::path fifo = server.runtime_folder / ("recording-" + std::to_string(++count));
  if (mkfifo(fifo.c_str(), 0600) != 0) throw std::runtime_error("cannot make " + fifo.string());
  // Opened for reading first, without waiting, so that parec's open for writing succeeds.
  fd_ = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) throw std::runtime_error("cannot open " + fifo.string());
  parec_ = start_process({
      .command = {"parec", "--raw", "--format=float32le", "--rate=" + std::to_string(sink_rate), "--channels=2",
                  "--latency-msec=" + std::to_string(parec_latency_ms),
                  "--device=" + std::string(sink_name) + ".monitor"},
      .environment = server.client_environment(),
      .output_file = fifo,
      .error_file = server.runtime_folder / "parec.log",
  });
  reader_ = std::thread([this] { read_blocks(); });
}

sink_recording::~sink_recording() {
  kill_process(parec_);
  stopping_ = true;
  reader_.join();
  close(fd_);
}

void sink_recording::read_blocks() {
  std::vector<char> pending;  // bytes of a sample split between two reads
  char buffer[16384];
  while (!stopping_) {
    pollfd ready{.fd = fd_, .events = POLLIN, .revents = 0};
    if (poll(&ready, 1, int(poll_interval.count())) <= 0) continue;
    const ssize_t count = read(fd_, buffer, sizeof buffer);
    // The steady clock is the monotonic one the probe stamps its key events with.
    const std::chrono::nanoseconds arrived = std::chrono::steady_clock::now().time_since_epoch();
    if (count <= 0) {
      // No writer yet, or parec has ended: wait rather than spin.
      std::this_thread::sleep_for(poll_interval);
      continue;
    }
    pending.insert(pending.end(), buffer, buffer + count);
    const std::size_t whole = pending.size() / (stereo * sizeof(float)) * stereo;
    const std::lock_guard lock(mutex_);
    const std::size_t first = samples_.size();
    samples_.resize(first + whole);
    std::memcpy(samples_.data() + first, pending.data(), whole * sizeof(float));
    pending.erase(pending.begin(), pending.begin() + std::ptrdiff_t(whole * sizeof(float)));
    blocks_.push_back({.end_frame = samples_.size() / stereo, .arrived = arrived});
  }
}

std::size_t sink_recording::frames() const {
  const std::lock_guard lock(mutex_);
  return samples_.size() / stereo;
}

bool sink_recording::wait_for_more(double seconds, std::chrono::milliseconds limit) const {
  const std::size_t wanted = frames() + std::size_t(seconds * sink_rate);
  return poll_until([&] { return frames() >= wanted; }, limit);
}

std::vector<float> sink_recording::samples() const {
  const std::lock_guard lock(mutex_);
  return samples_;
}

std::optional<std::chrono::nanoseconds> sink_recording::arrival_of(std::size_t frame) const {
  const std::lock_guard lock(mutex_);
  const auto found = std::ranges::find_if(blocks_, [&](const block& b) { return b.end_frame > frame; });
  if (found == blocks_.end()) return std::nullopt;
  // The block's last frame arrived with it; earlier frames reached the sink earlier.
  return found->arrived -
         std::chrono::nanoseconds(std::int64_t(double(found->end_frame - 1 - frame) * 1e9 / sink_rate));
}

std::size_t sink_recording::frame_at(std::chrono::nanoseconds time) const {
  const std::lock_guard lock(mutex_);
  const auto found = std::ranges::find_if(blocks_, [&](const block& b) { return b.arrived >= time; });
  if (found == blocks_.end()) return samples_.size() / stereo;
  const double before = std::chrono::duration<double>(found->arrived - time).count() * sink_rate;
  return found->end_frame - std::min(found->end_frame, std::size_t(before));
}
