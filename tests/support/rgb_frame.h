// rgb_frame.h: one picture as the tests look at it, whether read back from the
// GPU, grabbed from a screen, decoded from a video or read from a PNG file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <vector>

struct rgb_frame {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bytes;  // 3 a pixel, the top row first

  bool operator==(const rgb_frame&) const = default;
  // Whether every byte of the row (0 at the top) is at that level: 0 for black, 255 for white.
  bool row_is_all(int row, std::uint8_t level) const;
  bool column_is_all(int column, std::uint8_t level) const;
};

// How a failed check shows a frame: by its size, not its bytes.
inline void PrintTo(const rgb_frame& frame, std::ostream* out) {
  *out << frame.width << "x" << frame.height << " frame";
}

inline constexpr std::uint8_t black_level = 0;
inline constexpr std::uint8_t white_level = 255;

// The PNG file's pixels as RGB; nullopt when it cannot be read.
std::optional<rgb_frame> read_png(const std::filesystem::path& file);
