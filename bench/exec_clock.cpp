// exec_clock.cpp: starts a program and tells it when: reads the clock, puts the
// time in BENCH_EXEC_NS and execs the program in its own place, so the probe's
// frame clock can count the start-up from the exec itself.
// Usage: exec_clock PROGRAM [ARGUMENTS...]
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/preload.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: exec_clock PROGRAM [ARGUMENTS...]\n", stderr);
    return 2;
  }
  const std::string now = std::to_string(monotonic_ns());
  setenv("BENCH_EXEC_NS", now.c_str(), 1);
  execvp(argv[1], argv + 1);
  std::perror(argv[1]);
  return 127;
}
