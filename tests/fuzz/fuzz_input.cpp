// fuzz_input.cpp: the fuzz input as an in-memory file, and the fuzz targets' check.
#include "tests/fuzz/fuzz_input.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

const char* input_as_file(std::span<const std::uint8_t> bytes) {
  // One file for the whole run: the loaders open it by name for every input.
  static const int fd = memfd_create("fuzz-input", MFD_CLOEXEC);
  static const std::string name = "/proc/self/fd/" + std::to_string(fd);
  require(fd >= 0, "an in-memory file can be made");
  require(ftruncate(fd, 0) == 0, "the in-memory file can be emptied");
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t written = pwrite(fd, bytes.data() + done, bytes.size() - done, off_t(done));
    require(written > 0, "the input can be written to the in-memory file");
    done += std::size_t(written);
  }
  return name.c_str();
}

void require(bool condition, const char* promise) {
  if (condition) return;
  std::fprintf(stderr, "broken promise: %s\n", promise);
  std::abort();
}

void silence_standard_output() {
  require(std::freopen("/dev/null", "w", stdout) != nullptr, "standard output can be silenced");
}
