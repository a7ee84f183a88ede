// file_bytes.h: whole files read and written at once, byte for byte.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Everything the file holds; empty when it cannot be read.
std::string read_file(const std::filesystem::path& file);
std::vector<std::uint8_t> read_file_bytes(const std::filesystem::path& file);
// Its last 1,200 bytes, after "..." when there were more: the end of a server's
// log, which says why it would not start or why it ended.
std::string read_log_end(const std::filesystem::path& file);

// Replaces the file, or makes it, with exactly these bytes.
void write_file(const std::filesystem::path& file, std::string_view bytes);
