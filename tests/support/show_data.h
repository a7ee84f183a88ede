// show_data.h: the show's eight data files as the build wrote them, and a
// scratch folder holding them for a program under test to be started in.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/scratch_folder.h"

// The build's folder of data files, next to the programs.
const std::filesystem::path& built_data_folder();

// The seven pictures in the order the show loads them, then the music.
std::vector<std::string> show_data_file_names();

// A data file as the build wrote it.
std::filesystem::path built_data_file(std::string_view name);
std::filesystem::path built_module();

// A scratch folder holding links to the eight data files, which a test may
// replace, cut short or remove.
struct show_data_folder : scratch_folder {
  explicit show_data_folder(std::string_view label = "show");

  // Replaces a data file with the given bytes.
  void write_file(std::string_view name, std::string_view bytes) const;
  void remove_file(std::string_view name) const;
};
