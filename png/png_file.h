// png_file.h: saves an RGB picture as a PNG file, for people to look at: the
// data tool's copies of the pictures, the capture's stills, the tests' frames.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

// Writes width x height RGB pixels (3 bytes each, top row first) to file.
// Returns an empty string when written, otherwise why not.
std::string write_png(const std::filesystem::path& file, std::span<const std::uint8_t> rgb, int width, int height);
