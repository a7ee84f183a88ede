// allocation_log.cpp: the probe's allocation log. Notes every allocation of at
// least 256 KiB, made by any thread of the program or its libraries, with the
// frame being drawn, so that a slow frame can be matched with the driver's
// buffers. Smaller allocations pass straight through.
//
//   BENCH_ALLOCATIONS  the file, written at exit: "<frame> <bytes>" lines
#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstddef>

#include "bench/preload.h"

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
}

namespace {

constexpr std::size_t large = 256 * 1024;  // the driver takes 64 KiB blocks every frame
constexpr std::size_t most_notes = 1024;

struct allocation_note {
  std::size_t frame;
  std::size_t bytes;
};

// Any thread may allocate: each note takes its own slot.
struct {
  std::array<allocation_note, most_notes> notes{};
  std::atomic<std::size_t> count = 0;
} log_state;

void note(std::size_t bytes) {
  if (bytes < large) return;
  const std::size_t slot = log_state.count.fetch_add(1, std::memory_order_relaxed);
  if (slot < most_notes) log_state.notes[slot] = {presented_frames() + 1, bytes};
}

void write_log() {
  std::FILE* file = open_report("BENCH_ALLOCATIONS");
  if (file == nullptr) return;
  const std::size_t count = std::min(log_state.count.load(), most_notes);
  for (std::size_t i = 0; i < count; ++i)
    std::fprintf(file, "%zu %zu\n", log_state.notes[i].frame, log_state.notes[i].bytes);
  std::fclose(file);
}

bool start_log() {
  if (std::getenv("BENCH_ALLOCATIONS") != nullptr) std::atexit(write_log);
  return true;
}
[[maybe_unused]] const bool log_started = start_log();

}  // namespace

extern "C" {

void* malloc(std::size_t size) {
  note(size);
  return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) {
  note(count * size);
  return __libc_calloc(count, size);
}

void* realloc(void* block, std::size_t size) {
  note(size);
  return __libc_realloc(block, size);
}

void* memalign(std::size_t alignment, std::size_t size) {
  note(size);
  return __libc_memalign(alignment, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) {
  note(size);
  return __libc_memalign(alignment, size);
}

int posix_memalign(void** block, std::size_t alignment, std::size_t size) {
  note(size);
  *block = __libc_memalign(alignment, size);
  return *block != nullptr ? 0 : ENOMEM;
}

}  // extern "C"
