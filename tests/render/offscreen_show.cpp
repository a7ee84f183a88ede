// offscreen_show.cpp: runs the show through the capture tool's frame loop, which
// draws each frame into the 640 by 480 RGB565 picture and reads it back.
#include "tests/render/offscreen_show.h"

#include <GL/gl.h>

#include "offscreen/offscreen_context.h"

namespace {

bool started = false;

std::string gl_text(GLenum name) {
  const auto* value = reinterpret_cast<const char*>(glGetString(name));
  return value != nullptr ? value : "?";
}

}  // namespace

offscreen_run run_show(const std::filesystem::path& picture_folder, int last_frame, const frame_observer& observe) {
  if (started) return {{.error = "the show has run in this process already"}, {}};
  started = true;

  const offscreen_context context{picture_width, picture_height};
  if (!context.ok()) return {{.error = "no offscreen OpenGL context: " + context.error()}, {}};

  // The show loads its pictures from the working directory.
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(picture_folder);
  const frame_handler every_frame{[](int) { return true; },
                                  [&](int frame, frame_pixels rgb) {
                                    if (observe) observe(frame, rgb);
                                    return true;
                                  }};
  const show_outcome outcome = run_show_frames(context, last_frame, every_frame);
  std::filesystem::current_path(previous);
  return {outcome, "OpenGL " + gl_text(GL_VERSION) + " on " + gl_text(GL_RENDERER) + " (" + context.platform() + ")"};
}
