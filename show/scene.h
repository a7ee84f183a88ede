// scene.h: the contract every scene step keeps, and the texture names the scenes bind.
#pragma once

// A scene step draws one frame of its scene, advances its own state and
// returns nonzero while the scene goes on, 0 on its last call (which still draws).
// Its state is program-wide, starts at fixed values and is never reset.
using scene_step = int (*)();

// Fixed texture names, loaded at start-up from the pictures of the same number.
namespace texture_name {
inline constexpr unsigned smiley = 1;
inline constexpr unsigned who = 2;
inline constexpr unsigned greets = 3;
inline constexpr unsigned cube_near_far = 4;
inline constexpr unsigned cube_left_right = 5;
inline constexpr unsigned cube_top_bottom = 6;
inline constexpr unsigned final_card = 7;
}  // namespace texture_name
