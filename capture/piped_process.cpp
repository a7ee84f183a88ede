// piped_process.cpp: posix_spawnp with the pipe's reading end as the child's
// standard input; EINTR is retried, EPIPE and exit statuses become messages.
#include "capture/piped_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace {

// What waitpid reported, in words.
std::string describe_exit(int status) {
  if (WIFEXITED(status)) return "exited with status " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return std::string("was killed by signal ") + strsignal(WTERMSIG(status));
  return "stopped unexpectedly";
}

// The child's standard input is the pipe's reading end; it inherits nothing else
// of ours, since both ends were opened close-on-exec.
struct spawn_setup {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;

  explicit spawn_setup(int read_end) {
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, read_end, STDIN_FILENO);
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
  }
  ~spawn_setup() {
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
  }
  spawn_setup(const spawn_setup&) = delete;
  spawn_setup& operator=(const spawn_setup&) = delete;
};

}  // namespace

piped_process::piped_process(const std::vector<std::string>& arguments) {
  name_ = arguments.empty() ? "" : arguments.front();
  if (name_.empty()) {
    error_ = "no program to start";
    return;
  }
  signal(SIGPIPE, SIG_IGN);

  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) {
    error_ = std::string("cannot make a pipe to ") + name_ + ": " + std::strerror(errno);
    return;
  }
  std::vector<char*> argv;
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  const spawn_setup setup(ends[0]);
  const int failure = posix_spawnp(&child_, name_.c_str(), &setup.actions, &setup.attributes, argv.data(), environ);
  close(ends[0]);
  pipe_ = ends[1];
  if (failure != 0) {
    child_ = -1;
    close_pipe();
    error_ = "cannot start " + name_ + ": " + std::strerror(failure);
  }
}

piped_process::~piped_process() {
  if (child_ < 0) return;
  close_pipe();
  kill(child_, SIGTERM);
  wait_for_exit();
}

bool piped_process::write(std::span<const std::uint8_t> bytes) {
  if (!ok()) return false;
  while (!bytes.empty()) {
    const ssize_t written = ::write(pipe_, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) {
      error_ = errno == EPIPE ? name_ + " stopped reading its input"
                              : "cannot write to " + name_ + ": " + std::strerror(errno);
      return false;
    }
    bytes = bytes.subspan(std::size_t(written));
  }
  return true;
}

bool piped_process::finish() {
  if (child_ < 0) return false;
  close_pipe();
  const int status = wait_for_exit();
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return ok();
  error_ = name_ + " " + describe_exit(status) + (ok() ? "" : " (" + error_ + ")");
  return false;
}

void piped_process::close_pipe() {
  if (pipe_ >= 0) close(pipe_);
  pipe_ = -1;
}

int piped_process::wait_for_exit() {
  int status = -1;  // neither an exit nor a signal, should waitpid fail
  while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
  }
  child_ = -1;
  return status;
}
