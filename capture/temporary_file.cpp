// temporary_file.cpp: mkstemp for a unique name, rename for an atomic
// finish, and removal when the owner goes away without finishing.
#include "capture/temporary_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

std::string system_error_text(const std::string& what, const std::filesystem::path& path) {
  return "cannot " + what + " " + path.string() + ": " + std::strerror(errno);
}

// What a newly created file would get: read and write for all, less the umask.
mode_t usual_file_mode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

temporary_file::temporary_file(const std::filesystem::path& folder, const std::string& stem) {
  const std::string pattern = (folder / (stem + ".XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int descriptor = mkstemp(name.data());
  if (descriptor < 0) {
    error_ = system_error_text("create a file like", pattern);
    return;
  }
  close(descriptor);
  path_ = name.data();
}

temporary_file::~temporary_file() {
  if (!path_.empty() && !kept_) std::remove(path_.c_str());
}

bool temporary_file::rename_to(const std::filesystem::path& final_path) {
  if (!ok()) return false;
  if (chmod(path_.c_str(), usual_file_mode()) != 0 || std::rename(path_.c_str(), final_path.c_str()) != 0) {
    error_ = system_error_text("rename " + path_.string() + " to", final_path);
    return false;
  }
  kept_ = true;
  return true;
}

temporary_file temporary_file_next_to(const std::filesystem::path& final_path) {
  const auto folder = final_path.parent_path();
  return temporary_file(folder.empty() ? "." : folder, "." + final_path.filename().string());
}
