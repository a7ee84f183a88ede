// x_server.cpp: starts Xorg and learns its display number through -displayfd,
// which Xorg writes only once it accepts connections.
#include "tests/e2e/x_server.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "tests/support/file_bytes.h"

namespace {

constexpr auto stop_grace = std::chrono::seconds(5);

// Reads "<number>\n" from the pipe; nullopt when the server exits or the time is up.
std::optional<int> read_display_number(int fd, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  std::string text;
  while (text.find('\n') == std::string::npos) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd ready{.fd = fd, .events = POLLIN, .revents = 0};
    if (poll(&ready, 1, int(left.count())) <= 0) continue;
    char buffer[32];
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count <= 0) return std::nullopt;  // the server closed the pipe: it has exited
    text.append(buffer, std::size_t(count));
  }
  return std::stoi(text);
}

}  // namespace

x_server_start start_x_server(const std::filesystem::path& config_file, const std::filesystem::path& log_file,
                              std::chrono::milliseconds limit) {
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) return {.failure = "no pipe"};
  const process_setup setup{
      .command = {"Xorg", "-displayfd", std::to_string(pipe_fds[1]), "-config", config_file.string(), "-noreset",
                  "-nolisten", "tcp", "-logfile", log_file.string()},
      .error_file = log_file.string() + ".stderr",
      .inherited_fd = pipe_fds[1]};
  x_server server;
  try {
    server.process = start_process(setup);
  } catch (const std::exception& error) {
    close(pipe_fds[0]);
    close(pipe_fds[1]);
    return {.failure = error.what()};
  }
  close(pipe_fds[1]);  // so that the read end sees the server's exit
  const std::optional<int> number = read_display_number(pipe_fds[0], limit);
  close(pipe_fds[0]);
  if (!number) {
    const std::optional<process_end> end = poll_end(server.process);
    kill_process(server.process);
    if (end && end->exited_with(cannot_run_code))
      return {.failure = "Xorg cannot be run (is xserver-xorg-core installed?)"};
    return {.failure = "Xorg did not start (" + (end ? describe(*end) : "no answer in time") + "); its last words:\n" +
                       read_log_end(setup.error_file)};
  }
  server.display = ":" + std::to_string(*number);
  return {.server = std::move(server)};
}

void stop_x_server(x_server& server) { stop_process(server.process, stop_grace); }

bool leave_keyboard_focus_nowhere(const std::string& display) {
  Display* connection = XOpenDisplay(display.c_str());
  if (connection == nullptr) return false;
  XSetInputFocus(connection, None, RevertToNone, CurrentTime);
  XSync(connection, False);
  XCloseDisplay(connection);
  return true;
}
