// picture_scenes.h: the four scenes that show one picture on a flat square.
// Each scene's state is a struct whose defaults are its starting values; the
// program-wide instance is the one its scene step uses. The advance functions
// hold the arithmetic of one step, so it can be run without a GL context.
#pragma once

// Scene 1: the smiley recedes, stops at depth -20, then keeps turning.
struct smiley_state {
  float depth = 2.0f;
  int moving = 1;
  float grey = 1.0f;
  float angle = 0.0f;  // degrees, applied every frame on top of the turn so far
  int spin_pending = 0;
  int frame_counter = 0;
};

// Scenes 2 and 3: a picture recedes from just beyond the near plane to depth -20.
struct receding_state {
  float depth = -0.3f;
  float grey = 1.0f;
};

// Scene 5: a still picture for 501 frames.
struct final_state {
  int frame_counter = 0;
};

extern smiley_state smiley;
extern receding_state who;
extern receding_state greets;
extern final_state final_card;

// One step of each scene's state; nonzero while the scene goes on.
int advance_smiley(smiley_state& state);
int advance_receding(receding_state& state);
int advance_final(final_state& state);

int scene_smiley();
int scene_who();
int scene_greets();
int scene_final();
