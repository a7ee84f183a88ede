// scratch_folder.cpp: mkdtemp for a folder no other test can share, and
// QUORVAN_TEST_KEEP to leave it behind for a person to look into.
#include "tests/support/scratch_folder.h"

#include <stdlib.h>

#include <algorithm>
#include <stdexcept>

scratch_folder::scratch_folder(std::string_view label) {
  std::string pattern = (std::filesystem::temp_directory_path() / "quorvan-").string();
  pattern += std::string(label) + "-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make " + pattern);
  path = pattern;
}

scratch_folder::~scratch_folder() {
  if (getenv("QUORVAN_TEST_KEEP") != nullptr) return;
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

std::vector<std::string> scratch_folder::file_names() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path)) names.push_back(entry.path().filename().string());
  std::ranges::sort(names);
  return names;
}
