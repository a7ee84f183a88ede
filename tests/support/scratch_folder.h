// scratch_folder.h: a fresh, private folder for one test's files, removed with
// everything in it when the test is done.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

struct scratch_folder {
  std::filesystem::path path;

  // Made under the system's temporary folder as quorvan-<label>-XXXXXX; throws
  // std::runtime_error when it cannot be made.
  explicit scratch_folder(std::string_view label = "test");
  ~scratch_folder();
  scratch_folder(const scratch_folder&) = delete;
  scratch_folder& operator=(const scratch_folder&) = delete;

  // The names of the files in it, sorted.
  std::vector<std::string> file_names() const;
};
