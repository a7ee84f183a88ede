// piped_process.h: a program started with a pipe to its standard input, which
// is written to, then closed; the program is always waited for.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class piped_process {
 public:
  // Starts arguments[0], looked up on PATH, with the rest as its arguments; its
  // standard output and error are this process's. SIGPIPE is ignored from then
  // on, so writing to a program that has gone fails with an error instead of
  // ending this process; the program itself starts with SIGPIPE at its default.
  explicit piped_process(const std::vector<std::string>& arguments);
  // A program not finished is stopped (SIGTERM) and waited for.
  ~piped_process();
  piped_process(const piped_process&) = delete;
  piped_process& operator=(const piped_process&) = delete;

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }

  // Writes all of the bytes; false, with the reason in error(), when the
  // program has closed its input or exited.
  bool write(std::span<const std::uint8_t> bytes);

  // Closes the pipe and waits for the program: true when it exited with status 0.
  bool finish();

 private:
  void close_pipe();
  int wait_for_exit();

  std::string name_;
  std::string error_;
  pid_t child_ = -1;
  int pipe_ = -1;  // our end: the program's standard input
};
