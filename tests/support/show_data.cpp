// show_data.cpp: the data files' names from the show's own list, linked into
// the folder rather than copied, so a folder costs nothing to make.
#include "tests/support/show_data.h"

#include "assets/show_pictures.h"
#include "tests/support/file_bytes.h"

const std::filesystem::path& built_data_folder() {
  static const std::filesystem::path folder = QUORVAN_DATA_DIR;
  return folder;
}

std::vector<std::string> show_data_file_names() {
  std::vector<std::string> names;
  for (const picture_file& picture : show_pictures) names.emplace_back(picture.file_name);
  names.emplace_back(music_file_name);
  return names;
}

std::filesystem::path built_data_file(std::string_view name) { return built_data_folder() / name; }

std::filesystem::path built_module() { return built_data_file(music_file_name); }

show_data_folder::show_data_folder(std::string_view label) : scratch_folder(label) {
  for (const std::string& name : show_data_file_names())
    std::filesystem::create_symlink(built_data_file(name), path / name);
}

void show_data_folder::write_file(std::string_view name, std::string_view bytes) const {
  remove_file(name);
  ::write_file(path / name, bytes);
}

void show_data_folder::remove_file(std::string_view name) const { std::filesystem::remove(path / name); }
