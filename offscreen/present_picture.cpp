// present_picture.cpp: black bands around the picture, then one or two blits.
#include "offscreen/present_picture.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include "offscreen/picture_placement.h"

namespace {

struct area {
  int x, y, width, height;
};

// The picture enlarged by a whole scale, kept from frame to frame; made anew
// only when the window's size asks for another scale.
struct {
  unsigned framebuffer = 0;
  unsigned colour_buffer = 0;
  int scale = 0;
} enlarged;

void make_enlarged(int scale) {
  if (enlarged.scale == scale) return;
  if (enlarged.framebuffer == 0) {
    glGenFramebuffers(1, &enlarged.framebuffer);
    glGenRenderbuffers(1, &enlarged.colour_buffer);
  }
  glBindRenderbuffer(GL_RENDERBUFFER, enlarged.colour_buffer);
  // Repeating pixels adds no colours: the enlarged copy stays 16-bit.
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGB565, scale * picture_width, scale * picture_height);
  glBindFramebuffer(GL_FRAMEBUFFER, enlarged.framebuffer);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                            enlarged.colour_buffer);
  enlarged.scale = scale;
}

void blit(unsigned from, int from_width, int from_height, unsigned to, area onto, GLenum filter) {
  glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to);
  glBlitFramebuffer(0, 0, from_width, from_height, onto.x, onto.y, onto.x + onto.width,
                    onto.y + onto.height, GL_COLOR_BUFFER_BIT, filter);
}

// Clears only the bands around the picture: clearing the whole target first
// would cost as much again as the copy on a large window drawn in software.
void clear_around(const picture_placement& placed, int width, int height) {
  const int right = placed.x + placed.width;
  const int top = placed.y + placed.height;
  const area bands[] = {{0, 0, placed.x, height},
                        {right, 0, width - right, height},
                        {placed.x, 0, placed.width, placed.y},
                        {placed.x, top, placed.width, height - top}};
  // The show's clear colour and its scissor state come back as they were.
  glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glEnable(GL_SCISSOR_TEST);
  for (const area& band : bands) {
    if (band.width <= 0 || band.height <= 0) continue;
    glScissor(band.x, band.y, band.width, band.height);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  glPopAttrib();
}

}  // namespace

void present_picture(const picture_framebuffer& picture, unsigned target, int target_width,
                     int target_height) {
  const picture_placement placed = place_picture(target_width, target_height);
  glBindFramebuffer(GL_FRAMEBUFFER, target);
  if (placed.width == 0) {
    clear_around({.x = 0, .y = 0, .width = 0, .height = 0}, target_width, target_height);
    return;
  }
  clear_around(placed, target_width, target_height);

  const area onto{placed.x, placed.y, placed.width, placed.height};
  if (placed.is_whole_scale()) {
    blit(picture.framebuffer, picture_width, picture_height, target, onto, GL_NEAREST);
  } else if (placed.whole_scale == 1) {
    blit(picture.framebuffer, picture_width, picture_height, target, onto, GL_LINEAR);
  } else {
    make_enlarged(placed.whole_scale);
    const int width = placed.whole_scale * picture_width;
    const int height = placed.whole_scale * picture_height;
    blit(picture.framebuffer, picture_width, picture_height, enlarged.framebuffer,
         {0, 0, width, height}, GL_NEAREST);
    blit(enlarged.framebuffer, width, height, target, onto, GL_LINEAR);
  }
  glBindFramebuffer(GL_FRAMEBUFFER, target);
}
