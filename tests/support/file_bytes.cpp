// file_bytes.cpp: binary streams, so no byte is translated on the way.
#include "tests/support/file_bytes.h"

#include <fstream>
#include <iterator>

std::string read_file(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> read_file_bytes(const std::filesystem::path& file) {
  const std::string bytes = read_file(file);
  return {bytes.begin(), bytes.end()};
}

std::string read_log_end(const std::filesystem::path& file) {
  constexpr std::size_t end_bytes = 1200;
  const std::string text = read_file(file);
  return text.size() <= end_bytes ? text : "..." + text.substr(text.size() - end_bytes);
}

void write_file(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}
