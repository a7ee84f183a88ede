// show_run.cpp: drives the show's display() in an offscreen context, with a
// present hook that reads the frame back and an end hook that only records.
#include "tests/render/show_run.h"

#include <GL/gl.h>

#include <vector>

#include "app/gl_state.h"
#include "assets/show_pictures.h"
#include "offscreen/offscreen_context.h"
#include "show/sequencer.h"

namespace {

// The hooks are plain functions, so what they need lives here, for one run.
struct run_state {
  const offscreen_context* context = nullptr;
  const frame_observer* observe = nullptr;
  std::vector<std::uint8_t> rgb;
  show_run result;
  bool started = false;
} run;

void read_back_frame() {
  run.context->read_frame(run.rgb);
  run.result.frames_presented += 1;
  if (*run.observe) (*run.observe)(run.result.frames_presented, run.rgb);
}

void record_end() {
  if (run.result.end_calls == 0) run.result.frames_presented_at_end = run.result.frames_presented;
  run.result.end_calls += 1;
}

std::string describe_gl() {
  const auto text = [](GLenum name) {
    const auto* value = reinterpret_cast<const char*>(glGetString(name));
    return std::string(value != nullptr ? value : "?");
  };
  return "OpenGL " + text(GL_VERSION) + " on " + text(GL_RENDERER);
}

void load_pictures_from(const std::filesystem::path& folder) {
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  load_show_pictures();
  std::filesystem::current_path(previous);
}

show_run failed(std::string why) {
  show_run result;
  result.error = std::move(why);
  return result;
}

}  // namespace

show_run run_show(const std::filesystem::path& picture_folder, int last_frame,
                  const frame_observer& observe) {
  if (run.started) return failed("the show has run in this process already");
  run.started = true;

  offscreen_context context{screen_width, screen_height};
  if (!context.ok()) return failed("no offscreen OpenGL context: " + context.error());
  run.context = &context;
  run.observe = &observe;
  run.rgb.resize(context.frame_bytes());
  run.result.gl_description = describe_gl() + " (" + context.platform() + ")";

  load_pictures_from(picture_folder);
  init_gl();
  reshape(screen_width, screen_height);
  set_show_hooks({read_back_frame, record_end});
  while (run.result.end_calls == 0 && run.result.frames_presented < last_frame) display();

  run.context = nullptr;
  return run.result;
}
