// picture_scenes.cpp: scenes 1, 2, 3 and 5, one picture each on a flat square.
//
// Depths and angles are stored in single precision, but each step adds its
// double-precision constant in double precision before storing: the frame on
// which a scene stops or ends depends on exactly this rounding.
#include "show/picture_scenes.h"

#include <GL/gl.h>

#include "show/scene.h"
#include "show/textured_quad.h"

smiley_state smiley;
receding_state who;
receding_state greets;
final_state final_card;

namespace {

constexpr double smiley_recede_step = 0.075;
constexpr double smiley_stop_depth = -20.0;
constexpr double smiley_turn_step = 0.5;  // degrees, clockwise about the line of sight
constexpr int smiley_last_frame = 480;

constexpr double receding_step = 0.025;
constexpr double receding_end_depth = -20.0;

constexpr float final_depth = -3.5f;
constexpr int final_last_frame = 500;

void use_picture(unsigned texture, float grey) {
  glBindTexture(GL_TEXTURE_2D, texture);
  glEnable(GL_TEXTURE_2D);
  glColor3f(grey, grey, grey);
}

// Scenes 2 and 3 differ only in their picture and in who resets the matrix.
int draw_and_advance_receding(receding_state& state, unsigned texture) {
  use_picture(texture, state.grey);
  draw_picture_quad(state.depth);
  return advance_receding(state);
}

}  // namespace

int advance_smiley(smiley_state& state) {
  if (state.moving) state.depth = static_cast<float>(state.depth - smiley_recede_step);
  if (state.depth < smiley_stop_depth) {
    state.depth = static_cast<float>(smiley_stop_depth);
    state.moving = 0;
    state.spin_pending = 1;
  }
  // The angle changes once; the turn comes from applying it to the matrix every frame.
  if (state.spin_pending) {
    state.angle = static_cast<float>(state.angle - smiley_turn_step);
    state.spin_pending = 0;
  }
  state.frame_counter += 1;
  return state.frame_counter <= smiley_last_frame;
}

int advance_receding(receding_state& state) {
  // The end is decided on the double-precision depth, before it is stored.
  const double next_depth = state.depth - receding_step;
  state.depth = static_cast<float>(next_depth);
  return next_depth > receding_end_depth;
}

int advance_final(final_state& state) {
  state.frame_counter += 1;
  return state.frame_counter <= final_last_frame;
}

int scene_smiley() {
  glBindTexture(GL_TEXTURE_2D, texture_name::smiley);
  glEnable(GL_TEXTURE_2D);
  // Not reset first: the rotation piles up on the matrix from frame to frame.
  glRotatef(smiley.angle, 0.0f, 0.0f, 1.0f);
  glColor3f(smiley.grey, smiley.grey, smiley.grey);
  draw_picture_quad(smiley.depth);
  return advance_smiley(smiley);
}

int scene_who() {
  // Drops the eye offset and scene 1's turn; the identity stays for scene 3.
  glLoadIdentity();
  return draw_and_advance_receding(who, texture_name::who);
}

int scene_greets() {
  // Draws with whatever scene 2 left on the matrix: the identity.
  return draw_and_advance_receding(greets, texture_name::greets);
}

int scene_final() {
  glLoadIdentity();
  use_picture(texture_name::final_card, 1.0f);
  draw_picture_quad(final_depth);
  return advance_final(final_card);
}
