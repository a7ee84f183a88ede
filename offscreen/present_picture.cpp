// present_picture.cpp: black bands around the picture, a copy of the picture
// into a texture, and one textured quad over the placed area.
#include "offscreen/present_picture.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include "offscreen/picture_placement.h"

namespace {

struct area {
  int x, y, width, height;
};

// The show binds its pictures to small fixed texture names without asking for
// them, and a picture that did not load leaves its name unused: a generated
// name could be one of those. The copy takes a fixed name far past them.
constexpr unsigned copy_texture_name = 1000;

// Sharp bilinear: each texel keeps its own colour over its middle, and blends
// into its neighbour only across the one output pixel at its edge, as a
// bilinear lookup moved next to the texel's edge.
constexpr const char* sharp_bilinear_source = R"(
#version 120
uniform sampler2D picture;
uniform vec2 texels;  // the picture's size
uniform float scale;  // output pixels per texel
void main() {
  vec2 texel = gl_TexCoord[0].xy * texels;
  vec2 from_middle = fract(texel) - 0.5;
  float flat_half = 0.5 - 0.5 / scale;
  vec2 blend = (from_middle - clamp(from_middle, -flat_half, flat_half)) * scale;
  gl_FragColor = texture2D(picture, (floor(texel) + 0.5 + blend) / texels);
}
)";

// What presenting keeps from frame to frame, made on the first present: the
// picture copied into a texture of 8-bit channels in the order software
// renderers sample fastest, the framebuffer that copies into it, and the
// shader, once a scale needs it.
struct {
  bool made = false;
  bool shader_tried = false;
  unsigned texture = 0;
  unsigned framebuffer = 0;
  unsigned sharp_bilinear = 0;  // 0 where shaders cannot be had: scaling then blends plainly
  int texels_uniform = -1;
  int scale_uniform = -1;
} copy;

unsigned compile_sharp_bilinear() {
  const unsigned shader = glCreateShader(GL_FRAGMENT_SHADER);
  if (shader == 0) return 0;
  glShaderSource(shader, 1, &sharp_bilinear_source, nullptr);
  glCompileShader(shader);
  const unsigned program = glCreateProgram();
  glAttachShader(program, shader);
  glLinkProgram(program);
  glDeleteShader(shader);
  int linked = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (linked != 0) return program;
  glDeleteProgram(program);
  return 0;
}

void make_copy() {
  copy.texture = copy_texture_name;
  glBindTexture(GL_TEXTURE_2D, copy.texture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, picture_width, picture_height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
               nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glGenFramebuffers(1, &copy.framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, copy.framebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, copy.texture, 0);
  copy.made = true;
}

// Compiled the first time a scale needs it, not at start-up: whole scales,
// such as the show's own 640 by 480, never do, and compiling costs the first
// frame tens of milliseconds.
unsigned sharp_bilinear_program() {
  if (copy.shader_tried) return copy.sharp_bilinear;
  copy.shader_tried = true;
  copy.sharp_bilinear = compile_sharp_bilinear();
  if (copy.sharp_bilinear != 0) {
    copy.texels_uniform = glGetUniformLocation(copy.sharp_bilinear, "texels");
    copy.scale_uniform = glGetUniformLocation(copy.sharp_bilinear, "scale");
  }
  return copy.sharp_bilinear;
}

// The picture into the texture, pixel for pixel: 16-bit colour widens exactly.
void copy_picture(const picture_framebuffer& picture) {
  glBindFramebuffer(GL_READ_FRAMEBUFFER, picture.framebuffer);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, copy.framebuffer);
  glBlitFramebuffer(0, 0, picture_width, picture_height, 0, 0, picture_width, picture_height, GL_COLOR_BUFFER_BIT,
                    GL_NEAREST);
}

// Clears only the bands around the picture: clearing the whole target too
// would cost a large window drawn in software as much again.
void clear_around(const picture_placement& placed, int width, int height) {
  const int right = placed.x + placed.width;
  const int top = placed.y + placed.height;
  const area bands[] = {{0, 0, placed.x, height},
                        {right, 0, width - right, height},
                        {placed.x, 0, placed.width, placed.y},
                        {placed.x, top, placed.width, height - top}};
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glEnable(GL_SCISSOR_TEST);
  for (const area& band : bands) {
    if (band.width <= 0 || band.height <= 0) continue;
    glScissor(band.x, band.y, band.width, band.height);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  glDisable(GL_SCISSOR_TEST);
}

void load_identity(GLenum matrix) {
  glMatrixMode(matrix);
  glPushMatrix();
  glLoadIdentity();
}

void restore(GLenum matrix) {
  glMatrixMode(matrix);
  glPopMatrix();
}

// One quad over the placed area, the texture's row 0 at its bottom, as the
// picture's own framebuffer has it.
void draw_copy(const picture_placement& placed) {
  glViewport(placed.x, placed.y, placed.width, placed.height);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, copy.texture);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  // Smaller than the picture, each screen pixel covers more than one picture
  // pixel: a plain bilinear lookup blends them, and there is no texel middle
  // to keep flat.
  const bool sharp = !placed.is_whole_scale() && placed.width > picture_width && sharp_bilinear_program() != 0;
  const GLint filter = placed.is_whole_scale() ? GL_NEAREST : GL_LINEAR;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  if (sharp) {
    glUseProgram(copy.sharp_bilinear);
    glUniform2f(copy.texels_uniform, float(picture_width), float(picture_height));
    glUniform1f(copy.scale_uniform, float(placed.width) / float(picture_width));
  }
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2f(-1.0f, -1.0f);
  glTexCoord2f(1.0f, 0.0f);
  glVertex2f(1.0f, -1.0f);
  glTexCoord2f(1.0f, 1.0f);
  glVertex2f(1.0f, 1.0f);
  glTexCoord2f(0.0f, 1.0f);
  glVertex2f(-1.0f, 1.0f);
  glEnd();
  if (sharp) glUseProgram(0);
}

}  // namespace

void present_picture(const picture_framebuffer& picture, unsigned target, int target_width, int target_height) {
  if (!copy.made) make_copy();
  const picture_placement placed = place_picture(target_width, target_height);
  copy_picture(picture);
  glBindFramebuffer(GL_FRAMEBUFFER, target);

  // Everything the show set up stays as it was: its matrices, its clear
  // colour, its texture, its viewport and what it has switched on.
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  load_identity(GL_PROJECTION);
  load_identity(GL_TEXTURE);
  load_identity(GL_MODELVIEW);
  clear_around(placed, target_width, target_height);
  if (placed.width > 0) draw_copy(placed);
  restore(GL_MODELVIEW);
  restore(GL_TEXTURE);
  restore(GL_PROJECTION);
  glPopAttrib();
}
