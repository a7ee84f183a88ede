// fuzz_input.cpp: the fuzz input as an in-memory file, and the fuzz targets' check.
#include "tests/fuzz/fuzz_input.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct memory_file {
  int fd = -1;
  std::string name;
};

// One file for the whole run: the loaders open it by name for every input.
const memory_file& input_file() {
  static const memory_file file = [] {
    memory_file made;
    made.fd = memfd_create("fuzz-input", MFD_CLOEXEC);
    require(made.fd >= 0, "an in-memory file can be made");
    made.name = "/proc/self/fd/" + std::to_string(made.fd);
    return made;
  }();
  return file;
}

}  // namespace

const char* input_as_file(std::span<const std::uint8_t> bytes) {
  const memory_file& file = input_file();
  require(ftruncate(file.fd, 0) == 0, "the in-memory file can be emptied");
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t written = pwrite(file.fd, bytes.data() + done, bytes.size() - done, off_t(done));
    require(written > 0, "the input can be written to the in-memory file");
    done += std::size_t(written);
  }
  return file.name.c_str();
}

void require(bool condition, const char* promise) {
  if (condition) return;
  std::fprintf(stderr, "broken promise: %s\n", promise);
  std::abort();
}

void silence_standard_output() {
  require(std::freopen("/dev/null", "w", stdout) != nullptr, "standard output can be silenced");
}
