// sequencer.cpp: draws one frame of the show (display), runs the five scenes in
// order, draws the letterbox bars over them and ends the show after the last.
#include "show/sequencer.h"

#include <GL/gl.h>

#include "show/cube_scene.h"
#include "show/picture_scenes.h"
#include "show/scene.h"

stage_flags stage;

namespace {

void do_nothing() {}
show_hooks hooks{do_nothing, do_nothing};

constexpr std::array<scene_step, scene_count> scenes{scene_smiley, scene_who, scene_greets, scene_cube, scene_final};

// The bars lie 5.2 units in front of the eye and span the whole width; each
// covers about 73 rows of a 640 by 480 screen.
constexpr float bar_z = -5.2f;
constexpr float bar_half_width = 3.0f;
constexpr float bar_inner_y = 1.5f;
constexpr float bar_outer_y = 2.5f;

void draw_bar(float inner_y, float outer_y) {
  glBegin(GL_QUADS);
  glVertex3f(-bar_half_width, inner_y, bar_z);
  glVertex3f(bar_half_width, inner_y, bar_z);
  glVertex3f(bar_half_width, outer_y, bar_z);
  glVertex3f(-bar_half_width, outer_y, bar_z);
  glEnd();
}

// A scene that ends hands over to the next one; after the last, the show is finished.
void hand_over_from(std::size_t scene) {
  if (scene + 1 < scenes.size()) {
    stage.active[scene + 1] = 1;
  } else {
    stage.finished = 1;
  }
}

}  // namespace

void set_show_hooks(show_hooks new_hooks) { hooks = new_hooks; }

void reset_show_state() {
  stage = {};
  smiley = {};
  who = {};
  greets = {};
  final_card = {};
  cube = {};
}

void display() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  // Each flag is tested after the one before it has been handled, so the next
  // scene's first call lands in the same frame as its predecessor's last.
  for (std::size_t scene = 0; scene < scenes.size(); ++scene) {
    if (!stage.active[scene]) continue;
    stage.active[scene] = scenes[scene]();
    if (!stage.active[scene]) hand_over_from(scene);
  }

  draw_letterbox();
  if (stage.finished) hooks.end_show();  // after the last frame has been presented
}

void draw_letterbox() {
  glDisable(GL_TEXTURE_2D);
  glPushMatrix();
  glLoadIdentity();
  glColor3f(0.0f, 0.0f, 0.0f);
  draw_bar(bar_inner_y, bar_outer_y);
  draw_bar(-bar_inner_y, -bar_outer_y);
  glPopMatrix();

  glFinish();
  hooks.present_frame();
  glEnable(GL_TEXTURE_2D);  // the colour stays black: every scene sets its own
}
