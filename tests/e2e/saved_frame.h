// saved_frame.h: reads back a frame the probe saved as PNG, and the few
// measures the tests take of it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

struct saved_frame {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // 3 bytes a pixel, the top row first
};

std::optional<saved_frame> read_saved_frame(const std::filesystem::path& file);

// Whether every pixel of the row (0 at the top) has all three components at
// that level: 0 for black, 255 for white.
bool row_is_all(const saved_frame& frame, int row, std::uint8_t level);

inline constexpr std::uint8_t black = 0;
inline constexpr std::uint8_t white = 255;
