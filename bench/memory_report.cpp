// memory_report.cpp: the probe's memory report. Just before the program leaves
// game mode or exits, while its window, textures and music are all still there, writes
// its peak resident size and what is resident now, summed per mapped object.
//
//   BENCH_MEMORY  the file: "peak <kB>", then "<kB> <object>" per object (a
//                 library's path, [heap], [stack], [anonymous]...)
#include <GL/freeglut.h>

#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "bench/preload.h"

namespace {

// VmHWM: the most the process has had resident at any one time.
long peak_kb() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return -1;
  long peak = -1;
  char line[256];
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::sscanf(line, "VmHWM: %ld", &peak) == 1) break;
  }
  std::fclose(status);
  return peak;
}

// Each mapping of /proc/self/smaps opens with its address range and, for a
// file, its path; its "Rss:" line follows.
std::map<std::string, long> resident_kb_per_object() {
  std::map<std::string, long> resident;
  std::FILE* smaps = std::fopen("/proc/self/smaps", "r");
  if (smaps == nullptr) return resident;
  std::string object;
  char line[4096];
  while (std::fgets(line, sizeof line, smaps) != nullptr) {
    unsigned long start = 0, end = 0;
    int name_at = 0;
    long kb = 0;
    if (std::sscanf(line, "%lx-%lx %*s %*s %*s %*s %n", &start, &end, &name_at) == 2 && name_at > 0) {
      object = line + name_at;
      object.erase(object.find_last_not_of(" \n") + 1);
      if (object.empty()) object = "[anonymous]";
    } else if (std::sscanf(line, "Rss: %ld kB", &kb) == 1) {
      resident[object] += kb;
    }
  }
  std::fclose(smaps);
  return resident;
}

void write_report() {
  static bool written = false;
  if (std::exchange(written, true)) return;
  std::FILE* file = open_report("BENCH_MEMORY");
  if (file == nullptr) return;
  std::fprintf(file, "peak %ld\n", peak_kb());
  for (const auto& [object, kb] : resident_kb_per_object()) std::fprintf(file, "%ld %s\n", kb, object.c_str());
  std::fclose(file);
}

}  // namespace

// The baseline leaves game mode before its exit; the show simply exits after
// its last frame. The report is taken at the first of the two, once.
extern "C" void glutLeaveGameMode() {
  static auto* const leave = next_definition<void()>("glutLeaveGameMode");
  write_report();
  leave();
}

extern "C" void exit(int status) noexcept {
  static auto* const real_exit = next_definition<void(int)>("exit");
  write_report();
  real_exit(status);
  __builtin_unreachable();
}
