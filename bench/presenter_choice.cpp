// presenter_choice.cpp: the probe's switch for the OpenGL presenter. With
// BENCH_GL_PRESENTER set, the program's own question for the renderer's name
// is answered with one that draws on a GPU, so a show on llvmpipe presents
// through OpenGL as it would with a GPU, and the bench can set the two
// presenters side by side on the same desktop. The driver's own answers are
// left alone.
#include <GL/gl.h>

#include "bench/preload.h"

namespace {
const bool gl_presenter = std::getenv("BENCH_GL_PRESENTER") != nullptr;
constexpr GLubyte gpu_renderer[] = "bench: a GPU";
}  // namespace

extern "C" const GLubyte* glGetString(GLenum name) {
  static auto* const get = next_definition<const GLubyte*(GLenum)>("glGetString");
  if (gl_presenter && name == GL_RENDERER) return gpu_renderer;
  return get(name);
}
