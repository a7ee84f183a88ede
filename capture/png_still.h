// png_still.h: one captured frame saved as a PNG picture.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

// Writes width x height RGB pixels (top row first) to file; an error text, or empty.
std::string write_png_still(const std::filesystem::path& file, std::span<const std::uint8_t> rgb,
                            int width, int height);
