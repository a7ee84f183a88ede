// png_file.h: writes an RGB picture to a PNG file, so tests can save what they
// drew or captured and a person can look at it.
#pragma once

#include <cstdint>
#include <span>
#include <string>

// Writes width x height RGB pixels (3 bytes each, top row first) to path.
// Returns false when rgb is too short or the file cannot be written.
bool write_png(const std::string& path, std::span<const std::uint8_t> rgb, int width, int height);
