// module_file.cpp: opens a module file without blocking, checks what it is
// and how large, reads it whole and hands it to libopenmpt.
#include "sound/module_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ostream>
#include <vector>

namespace {

constexpr std::int32_t repeat_forever = -1;

// A larger file is not read at all. The module loads on the show's thread
// before the first frame, and libopenmpt may walk through every byte of a file:
// a module followed by 64 MiB of zeros took it 0.45 to 0.75 s (and 30 s with
// AddressSanitizer). 32 MiB halves that wait; the show's own module is 261 KiB.
constexpr off_t largest_module_bytes = off_t{32} << 20;

// libopenmpt writes warnings to a log stream that must outlive every module.
// A stream without a buffer swallows them; it is never destroyed.
std::ostream& silent_log() {
  static auto* const log = new std::ostream(nullptr);
  return *log;
}

struct closing_descriptor {
  int descriptor;
  ~closing_descriptor() {
    if (descriptor >= 0) close(descriptor);
  }
};

module_read failed(const char* file_name, const std::string& what) { return {nullptr, std::string(file_name) + ": " + what}; }

// The whole file, or why not. Reads until the end even if it grew.
std::string read_all(int descriptor, off_t size, std::vector<char>& bytes) {
  bytes.resize(std::size_t(size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = read(descriptor, bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::strerror(errno);
    if (got == 0) break;
    done += std::size_t(got);
  }
  bytes.resize(done);
  return {};
}

}  // namespace

module_read read_module(const char* file_name) {
  if (file_name == nullptr) return {nullptr, "no module file named"};
  // A FIFO with no writer would hold the show before its first frame; on a
  // regular file the flag changes nothing. A FIFO, a socket or a device may
  // block or never end, so only a regular file is read, symlinks followed.
  const closing_descriptor file{open(file_name, O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (file.descriptor < 0) return failed(file_name, std::strerror(errno));
  struct stat status {};
  if (fstat(file.descriptor, &status) != 0) return failed(file_name, std::strerror(errno));
  if (!S_ISREG(status.st_mode)) return failed(file_name, "not a regular file");
  if (status.st_size > largest_module_bytes)
    return failed(file_name, "larger than 32 MiB (" + std::to_string(status.st_size) + " bytes)");
  std::vector<char> bytes;
  if (const std::string why = read_all(file.descriptor, status.st_size, bytes); !why.empty())
    return failed(file_name, why);
  try {
    auto module = std::make_unique<openmpt::module>(bytes, silent_log());
    module->set_repeat_count(repeat_forever);
    return {std::move(module), {}};
  } catch (...) {  // libopenmpt's exceptions for files it cannot parse, or no memory
    return failed(file_name, "not a module this show can play");
  }
}
