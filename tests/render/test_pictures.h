// test_pictures.h: seven pictures of the show's format, each of one pure colour
// below a band of pure red rows at its top, written under the show's file
// names into a folder of their own.
#pragma once

#include <array>
#include <bitset>
#include <optional>

#include "tests/render/frame_measure.h"
#include "tests/support/scratch_folder.h"

inline constexpr colour red{255, 0, 0};

struct test_picture {
  colour body;
  int red_rows;  // the first rows of the file, shown along the top edge
};

// By texture name 1 to 7: smiley, who, greets, cul1, cul2, cul3, drevik.
// The colours are neither white nor black nor red, and all different, so every
// pixel of a frame tells which picture, the background or a bar put it there.
// Each is one that the picture's 16-bit colour holds exactly (5 bits of red and
// blue, 6 of green), so frames show it unchanged.
// The smiley's upper half is red, so that its turn can be measured; the others
// have one red row: their first 768 bytes.
inline constexpr std::array<test_picture, 7> test_pictures{{
    {{255, 255, 0}, 128},  // smiley: yellow
    {{0, 0, 255}, 1},      // who: blue
    {{0, 255, 0}, 1},      // greets: green
    {{255, 0, 255}, 1},    // cul1: magenta
    {{0, 255, 255}, 1},    // cul2: cyan
    {{255, 130, 0}, 1},    // cul3: orange
    {{132, 0, 255}, 1},    // drevik: violet
}};

// The pictures of scene 1 to 5, by texture name - 1, and the body colour of
// each flat one: the cube (scene 4) shows cul1 to cul3.
inline constexpr std::array<std::bitset<7>, scene_count> scene_pictures{0b0000001, 0b0000010, 0b0000100, 0b0111000,
                                                                        0b1000000};
inline constexpr std::array<std::optional<colour>, scene_count> flat_picture_colours{
    test_pictures[0].body, test_pictures[1].body, test_pictures[2].body, std::nullopt, test_pictures[6].body};

// A scratch folder holding the seven pictures.
struct test_picture_folder : scratch_folder {
  test_picture_folder();
};
