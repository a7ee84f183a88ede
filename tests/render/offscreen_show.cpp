// offscreen_show.cpp: runs the show through the capture tool's frame loop, which
// draws each frame into the 640 by 480 RGB565 picture and reads it back.
#include "tests/render/offscreen_show.h"

#include <GL/gl.h>

#include "capture/show_frames.h"
#include "offscreen/offscreen_context.h"

namespace {

bool started = false;

std::string describe_gl() {
  const auto text = [](GLenum name) {
    const auto* value = reinterpret_cast<const char*>(glGetString(name));
    return std::string(value != nullptr ? value : "?");
  };
  return "OpenGL " + text(GL_VERSION) + " on " + text(GL_RENDERER);
}

offscreen_run failed(std::string why) {
  offscreen_run result;
  result.error = std::move(why);
  return result;
}

}  // namespace

offscreen_run run_show(const std::filesystem::path& picture_folder, int last_frame, const frame_observer& observe) {
  if (started) return failed("the show has run in this process already");
  started = true;

  const offscreen_context context{picture_width, picture_height};
  if (!context.ok()) return failed("no offscreen OpenGL context: " + context.error());
  offscreen_run result;
  result.gl_description = describe_gl() + " (" + context.platform() + ")";

  // The show loads its pictures from the working directory.
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(picture_folder);
  const frame_handler every_frame{[](int) { return true; },
                                  [&](int frame, std::span<const std::uint8_t> rgb) {
                                    if (observe) observe(frame, rgb);
                                    return true;
                                  }};
  const show_outcome outcome = run_show_frames(context, last_frame, every_frame);
  std::filesystem::current_path(previous);

  result.error = outcome.error;
  result.frames_presented = outcome.frames_presented;
  result.ended = outcome.ended;
  return result;
}
