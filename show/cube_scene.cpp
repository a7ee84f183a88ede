// cube_scene.cpp: scene 4, the tumbling cube that bounces along the line of
// sight and comes apart after its fourth bounce.
//
// As in the picture scenes, values are stored in single precision and each
// step is done in double precision; the bounce frames depend on it (the third
// bounce comes one call earlier than it would in double precision).
#include "show/cube_scene.h"

#include <GL/gl.h>

#include <array>

#include "show/scene.h"
#include "show/textured_quad.h"

cube_state cube;

namespace {

constexpr float pivot_z = -40.0f;
constexpr float near_face_z = -7.0f;  // the cube's centre is 8 units beyond the pivot
constexpr float far_face_z = -9.0f;

constexpr double angle_x_step = 0.75;
constexpr double angle_y_step = 1.75;
constexpr double angle_z_step = 0.5;
constexpr double full_turn = 360.0;  // past it an angle restarts at 0

constexpr double recede_step = 0.2;
constexpr double approach_step = 0.5;
constexpr double nearest_depth = 0.0;  // below it the cube bounces back
constexpr double farthest_depth = 25.0;
constexpr int bounces_before_breaking = 3;
constexpr double spread_step = 1.0;
constexpr double last_spread = 55.0;

constexpr float n = near_face_z;
constexpr float f = far_face_z;
constexpr std::array<vertex, 4> near_face{{{-1, -1, n}, {1, -1, n}, {1, 1, n}, {-1, 1, n}}};
constexpr std::array<vertex, 4> far_face{{{-1, -1, f}, {1, -1, f}, {1, 1, f}, {-1, 1, f}}};
constexpr std::array<vertex, 4> left_face{{{-1, -1, n}, {-1, -1, f}, {-1, 1, f}, {-1, 1, n}}};
constexpr std::array<vertex, 4> right_face{{{1, -1, n}, {1, -1, f}, {1, 1, f}, {1, 1, n}}};
constexpr std::array<vertex, 4> top_face{{{-1, 1, n}, {-1, 1, f}, {1, 1, f}, {1, 1, n}}};
constexpr std::array<vertex, 4> bottom_face{{{-1, -1, n}, {-1, -1, f}, {1, -1, f}, {1, -1, n}}};

void advance_angles(cube_state& state) {
  // Angles x and y are tested before they are stored, angle z after.
  const double next_x = state.angle_x + angle_x_step;
  const double next_y = state.angle_y + angle_y_step;
  state.angle_x = static_cast<float>(next_x);
  state.angle_y = static_cast<float>(next_y);
  state.angle_z = static_cast<float>(state.angle_z + angle_z_step);
  if (next_x > full_turn) state.angle_x = 0.0f;
  if (next_y > full_turn) state.angle_y = 0.0f;
  if (state.angle_z > full_turn) state.angle_z = 0.0f;
}

void advance_depth(cube_state& state) {
  if (state.receding) state.depth = static_cast<float>(state.depth - recede_step);
  // The approach begins on the very call of the bounce.
  if (state.depth < nearest_depth) {
    state.receding = 0;
    state.approaching = 1;
    state.bounces += 1;
  }
  if (state.approaching) state.depth = static_cast<float>(state.depth + approach_step);
  if (state.depth > farthest_depth) {
    state.receding = 1;
    state.approaching = 0;
  }
  if (state.bounces > bounces_before_breaking) {
    state.spread = static_cast<float>(state.spread + spread_step);
  }
}

// The near, left and top faces are drawn moved outward by the spread; each
// translation is undone by the next, so the far, right and bottom faces stay.
// Without a depth buffer each face covers the ones drawn before it.
void draw_faces(float spread) {
  glTranslatef(0.0f, 0.0f, spread);
  draw_textured_quad(near_face);
  glTranslatef(0.0f, 0.0f, -spread);
  draw_textured_quad(far_face);

  glBindTexture(GL_TEXTURE_2D, texture_name::cube_left_right);
  glTranslatef(-spread, 0.0f, 0.0f);
  draw_textured_quad(left_face);
  glTranslatef(spread, 0.0f, 0.0f);
  draw_textured_quad(right_face);

  glTranslatef(0.0f, spread, 0.0f);
  glBindTexture(GL_TEXTURE_2D, texture_name::cube_top_bottom);
  draw_textured_quad(top_face);
  glTranslatef(0.0f, -spread, 0.0f);
  draw_textured_quad(bottom_face);
}

}  // namespace

void advance_cube(cube_state& state) {
  advance_angles(state);
  advance_depth(state);
}

int cube_goes_on(const cube_state& state) { return state.spread > last_spread ? 0 : 1; }

int scene_cube() {
  // Never disabled again: the test stays on for the rest of the show.
  glEnable(GL_DEPTH_TEST);
  glPushMatrix();
  glLoadIdentity();
  glTranslatef(0.0f, 0.0f, pivot_z);

  // Unlike the picture scenes, the cube moves before it is drawn.
  advance_cube(cube);

  glTranslatef(0.0f, 0.0f, cube.depth);
  glRotatef(cube.angle_x, 1.0f, 0.0f, 0.0f);
  glRotatef(cube.angle_y, 0.0f, 1.0f, 0.0f);
  glRotatef(cube.angle_z, 0.0f, 0.0f, 1.0f);

  glEnable(GL_TEXTURE_2D);
  glColor3f(1.0f, 1.0f, 1.0f);
  glBindTexture(GL_TEXTURE_2D, texture_name::cube_near_far);
  draw_faces(cube.spread);

  glPopMatrix();  // back to the matrix the scene found
  return cube_goes_on(cube);
}
