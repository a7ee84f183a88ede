// temporary_file.h: a file under a unique temporary name that is removed
// again unless it is renamed to its final name, so no half-written file is left.
#pragma once

#include <filesystem>
#include <string>

class temporary_file {
 public:
  // Creates an empty file "folder/stem.XXXXXX" with a unique ending.
  temporary_file(const std::filesystem::path& folder, const std::string& stem);
  ~temporary_file();
  temporary_file(const temporary_file&) = delete;
  temporary_file& operator=(const temporary_file&) = delete;

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  const std::filesystem::path& path() const { return path_; }

  // Gives the file the usual permissions and renames it, replacing any file of
  // that name; from then on it is no longer removed. In the same folder the
  // rename is atomic: the final name shows the old file or the whole new one.
  bool rename_to(const std::filesystem::path& final_path);

 private:
  std::filesystem::path path_;
  std::string error_;
  bool kept_ = false;
};

// A temporary file next to the one it will become: same folder, hidden name.
temporary_file temporary_file_next_to(const std::filesystem::path& final_path);
