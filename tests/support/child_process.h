// child_process.h: starts a program as a child process of the test, waits for
// it with a time limit, and never leaves it running behind the test.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct process_setup {
  std::vector<std::string> command{};      // the program (looked up in PATH) and its arguments
  std::vector<std::string> environment{};  // "NAME=value" entries over the test's own; the last of a name wins
  std::filesystem::path folder{};          // working directory; empty keeps the test's
  std::filesystem::path output_file{};     // standard output; empty discards it
  std::filesystem::path error_file{};      // standard error; empty discards it
  int inherited_fd = -1;                   // one descriptor the child keeps open, or -1
};

// How a child ended: its exit code, or the signal that killed it.
struct process_end {
  int exit_code = -1;
  int signal = 0;
  bool exited_with(int code) const { return signal == 0 && exit_code == code; }
};
std::string describe(const process_end& end);

// A running child in a process group of its own. It dies with the test (even
// if the test is killed), and the destructor kills and reaps it if it still runs.
struct child_process {
  pid_t pid = -1;

  child_process() = default;
  explicit child_process(pid_t started) : pid(started) {}
  child_process(child_process&& other) noexcept;
  child_process& operator=(child_process&& other) noexcept;
  child_process(const child_process&) = delete;
  child_process& operator=(const child_process&) = delete;
  ~child_process();
};

// The exit code of a child whose program could not be run, as in the shell.
inline constexpr int cannot_run_code = 127;

// Throws std::runtime_error when the process cannot be created; a program that
// cannot be run ends with cannot_run_code.
child_process start_process(const process_setup& setup);

// Waits until the child ends or the time is up (nullopt; the child goes on).
std::optional<process_end> wait_for_end(child_process& child, std::chrono::milliseconds limit);

// Whether the child has ended, without waiting; reaps it if so.
std::optional<process_end> poll_end(child_process& child);

// Whether the child has ended, without waiting and without reaping it.
bool has_ended(const child_process& child);

// Kills the child's whole process group and reaps the child.
void kill_process(child_process& child);

// Asks the child to end (SIGTERM), so it can clean up after itself, and kills
// it if it has not ended within the grace time.
std::optional<process_end> stop_process(child_process& child, std::chrono::milliseconds grace);

// Runs a short command to its end; a command still running at the limit is killed.
std::optional<process_end> run_process(const process_setup& setup, std::chrono::milliseconds limit);

// How a program run to its end ended, and what it printed.
struct program_run {
  std::optional<process_end> end;  // nullopt: still running at the limit, then killed
  std::string output;              // its standard output
  std::string errors;              // its standard error
  bool exited_with(int code) const { return end && end->exited_with(code); }
};

// As run_process, collecting standard output and error: from the setup's own
// files, or from files of a scratch folder of its own where it names none.
program_run run_program(process_setup setup, std::chrono::milliseconds limit);
