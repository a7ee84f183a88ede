// preload.h: what the bench's preloaded probe shares: the library function a
// wrapper stands in front of, the clock every figure is read from, and the
// file each part writes its figures to.
#pragma once

#include <time.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "preload/next_definition.h"

// One clock for all processes of a run, so the launcher's time can be compared.
inline std::int64_t monotonic_ns() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return std::int64_t(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// The launcher's clock at the exec (exec_clock.cpp puts it in BENCH_EXEC_NS),
// or now where no launcher timed the program.
inline std::int64_t exec_ns() {
  const char* at_exec = std::getenv("BENCH_EXEC_NS");
  return at_exec != nullptr ? std::atoll(at_exec) : monotonic_ns();
}

// How many frames the program has presented so far (frame_clock.cpp).
std::size_t presented_frames();

// Opens the file named by the variable for writing; nullptr when it is not set.
inline std::FILE* open_report(const char* variable) {
  const char* path = std::getenv(variable);
  return path != nullptr ? std::fopen(path, "w") : nullptr;
}
