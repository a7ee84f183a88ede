// picture_framebuffer.cpp: the 640 by 480 RGB565 framebuffer the show draws into.
#include "offscreen/picture_framebuffer.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

bool open_picture_framebuffer(picture_framebuffer& picture) {
  glGenRenderbuffers(1, &picture.colour_buffer);
  glBindRenderbuffer(GL_RENDERBUFFER, picture.colour_buffer);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGB565, picture_width, picture_height);
  glGenFramebuffers(1, &picture.framebuffer);
  draw_into_picture(picture);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, picture.colour_buffer);
  return glGetError() == GL_NO_ERROR && glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void draw_into_picture(const picture_framebuffer& picture) { glBindFramebuffer(GL_FRAMEBUFFER, picture.framebuffer); }
