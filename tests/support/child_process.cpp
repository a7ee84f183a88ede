// child_process.cpp: fork and exec with redirected output, waits with a time
// limit, and kills by process group, so no child outlives its test.
#include "tests/support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>
#include <utility>

#include "tests/support/file_bytes.h"
#include "tests/support/scratch_folder.h"

extern char** environ;

namespace {

// The environment the child gets: the test's own, with the setup's entries
// replacing any of the same name, a later entry an earlier one.
std::vector<std::string> child_environment(const std::vector<std::string>& added) {
  std::vector<std::string> result;
  for (char** entry = environ; *entry != nullptr; ++entry) result.emplace_back(*entry);
  for (const std::string& add : added) {
    const std::string name = add.substr(0, add.find('=') + 1);
    std::erase_if(result, [&](const std::string& text) { return text.starts_with(name); });
    result.push_back(add);
  }
  return result;
}

std::vector<char*> pointers_to(std::vector<std::string>& texts) {
  std::vector<char*> result;
  for (std::string& text : texts) result.push_back(text.data());
  result.push_back(nullptr);
  return result;
}

// In the child, before exec: only async-signal-safe calls from here on.
void redirect(int target_fd, const std::filesystem::path& file, int flags = O_WRONLY | O_CREAT | O_TRUNC) {
  const int fd = open(file.empty() ? "/dev/null" : file.c_str(), flags, 0644);
  if (fd < 0) _exit(cannot_run_code);
  dup2(fd, target_fd);
  close(fd);
}

[[noreturn]] void become_child(const process_setup& setup, pid_t test_pid, char** argv, char** envp) {
  setpgid(0, 0);
  // Die with the test, even when the test itself is killed.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != test_pid) _exit(cannot_run_code);
  // The signals a shell ignores for background jobs reach the child as from a
  // terminal, however the tests were started.
  for (const int signal_number : {SIGINT, SIGQUIT, SIGHUP}) signal(signal_number, SIG_DFL);
  redirect(STDIN_FILENO, {}, O_RDONLY);
  redirect(STDOUT_FILENO, setup.output_file);
  redirect(STDERR_FILENO, setup.error_file);
  if (setup.inherited_fd >= 0) fcntl(setup.inherited_fd, F_SETFD, 0);
  if (!setup.folder.empty() && chdir(setup.folder.c_str()) != 0) _exit(cannot_run_code);
  execvpe(argv[0], argv, envp);
  _exit(cannot_run_code);
}

}  // namespace

std::string describe(const process_end& end) {
  if (end.signal != 0) return "killed by signal " + std::to_string(end.signal);
  return "exit code " + std::to_string(end.exit_code);
}

child_process::child_process(child_process&& other) noexcept : pid(std::exchange(other.pid, -1)) {}

child_process& child_process::operator=(child_process&& other) noexcept {
  if (this != &other) {
    kill_process(*this);
    pid = std::exchange(other.pid, -1);
  }
  return *this;
}

child_process::~child_process() { kill_process(*this); }

child_process start_process(const process_setup& setup) {
  if (setup.command.empty()) throw std::runtime_error("no command to start");
  // Everything the child needs is built before fork, so the child only calls
  // what is safe between fork and exec.
  std::vector<std::string> arguments = setup.command;
  std::vector<std::string> environment = child_environment(setup.environment);
  std::vector<char*> argv = pointers_to(arguments);
  std::vector<char*> envp = pointers_to(environment);
  const pid_t test_pid = getpid();

  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("cannot fork for " + setup.command[0]);
  if (pid == 0) become_child(setup, test_pid, argv.data(), envp.data());
  setpgid(pid, pid);  // also here, so the group exists before anyone signals it
  return child_process(pid);
}

std::optional<process_end> poll_end(child_process& child) {
  if (child.pid <= 0) return std::nullopt;
  int status = 0;
  if (waitpid(child.pid, &status, WNOHANG) != child.pid) return std::nullopt;
  child.pid = -1;
  if (WIFSIGNALED(status)) return process_end{.exit_code = -1, .signal = WTERMSIG(status)};
  return process_end{.exit_code = WEXITSTATUS(status), .signal = 0};
}

bool has_ended(const child_process& child) {
  if (child.pid <= 0) return true;
  siginfo_t info{};
  return waitid(P_PID, id_t(child.pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid != 0;
}

std::optional<process_end> wait_for_end(child_process& child, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (true) {
    if (auto end = poll_end(child)) return end;
    if (child.pid <= 0 || std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void kill_process(child_process& child) {
  if (child.pid <= 0) return;
  kill(-child.pid, SIGKILL);
  kill(child.pid, SIGKILL);
  waitpid(child.pid, nullptr, 0);
  child.pid = -1;
}

std::optional<process_end> stop_process(child_process& child, std::chrono::milliseconds grace) {
  if (child.pid <= 0) return std::nullopt;
  kill(child.pid, SIGTERM);
  if (auto end = wait_for_end(child, grace)) return end;
  kill_process(child);
  return std::nullopt;
}

std::optional<process_end> run_process(const process_setup& setup, std::chrono::milliseconds limit) {
  child_process child = start_process(setup);
  return wait_for_end(child, limit);  // the destructor kills a child still running
}

program_run run_program(process_setup setup, std::chrono::milliseconds limit) {
  // Outside the program's working folder, so the files never show among its own.
  const scratch_folder outputs("program");
  if (setup.output_file.empty()) setup.output_file = outputs.path / "output.txt";
  if (setup.error_file.empty()) setup.error_file = outputs.path / "errors.txt";
  const std::optional<process_end> end = run_process(setup, limit);
  return {.end = end, .output = read_file(setup.output_file), .errors = read_file(setup.error_file)};
}
