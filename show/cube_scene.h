// cube_scene.h: scene 4, a textured cube that swings about a pivot, tumbles,
// bounces to and fro along the line of sight and, after its fourth bounce,
// comes apart as three of its faces fly outward.
#pragma once

struct cube_state {
  float depth = 10.0f;  // pivot offset along the line of sight, added to -40
  int receding = 1;
  int approaching = 0;
  int bounces = 0;       // times the depth has gone below 0
  float spread = 0.0f;   // how far the loose faces have moved out
  float angle_x = 0.0f;  // tumbling angles, degrees
  float angle_y = 0.0f;
  float angle_z = 0.0f;
};

extern cube_state cube;

// One step of the cube's state (angles, then depth, then spread).
void advance_cube(cube_state& state);
// Nonzero until the spread has passed 55 (the scene's last call).
int cube_goes_on(const cube_state& state);

int scene_cube();
