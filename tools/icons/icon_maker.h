// icon_maker.h: the program's icon, the smiley of the first scene, in the sizes
// desktops look for in the hicolor icon theme.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

inline constexpr std::array<int, 8> icon_sides{16, 22, 24, 32, 48, 64, 128, 256};
inline constexpr const char* icon_file_name = "quorvan.png";

// Shrinks a square RGB picture to new_side by averaging the area each new
// pixel covers, so the small sizes stay smooth at any ratio.
std::vector<std::uint8_t> shrink_picture(std::span<const std::uint8_t> rgb, int side, int new_side);

// The icon file of one size inside a hicolor theme folder: "<N>x<N>/apps/quorvan.png".
std::filesystem::path icon_path(const std::filesystem::path& theme_folder, int side);

// Writes every size into the theme folder. Returns false on a write error.
bool write_icons(const std::filesystem::path& theme_folder);

// Writes a C++ source defining the icon in every size as the window's
// _NET_WM_ICON holds it (app/window_icon.h): per size its width, its height,
// then its pixels as opaque ARGB, top row first. Returns false on a write error.
bool write_window_icon_source(const std::filesystem::path& file);
