// show_pictures.h: the seven pictures of the show, by file name and texture name.
// Shared by start-up (which loads them), the capture tool and the data tool (which writes them).
#pragma once

#include <array>

struct picture_file {
  const char* file_name;
  unsigned texture_name;
};

// Start-up loads them in this order, texture names 1 to 7.
inline constexpr std::array<picture_file, 7> show_pictures{{
    {"smiley_256.raw", 1},
    {"who_256.raw", 2},
    {"greets_256.raw", 3},
    {"cul1_256.raw", 4},
    {"cul2_256.raw", 5},
    {"cul3_256.raw", 6},
    {"drevik_256.raw", 7},
}};

// Every picture is 256 by 256 RGB, 3 bytes a pixel, the top row first.
inline constexpr int picture_side = 256;
inline constexpr int picture_bytes = picture_side * picture_side * 3;  // 196,608

inline constexpr const char* music_file_name = "quorvan.xm";

// Loads the seven pictures as textures 1 to 7, in that order, from the working
// directory. A picture that fails leaves its texture name empty; the show goes on.
void load_show_pictures();
