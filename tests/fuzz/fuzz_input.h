// fuzz_input.h: what the fuzz targets share: the input as a file that a loader
// opens by name, and a check that turns a broken promise into a finding.
#pragma once

#include <cstdint>
#include <span>

// Puts the bytes into one in-memory file, replacing what it held, and returns a
// name that opens it afresh from its start ("/proc/self/fd/<n>").
const char* input_as_file(std::span<const std::uint8_t> bytes);

// Aborts, which the fuzzer records as a finding with its input, when the
// condition does not hold; says which promise was broken.
void require(bool condition, const char* promise);

// Sends standard output to /dev/null: the loaders print a line for each file.
void silence_standard_output();
