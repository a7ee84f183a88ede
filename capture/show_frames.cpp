// show_frames.cpp: the show's two hooks for a capture. Presenting a frame
// scales the picture into the context's frame, as on screen, and reads it back;
// the end of the show is only noted, as the capture still has to finish its
// files: nothing here exits.
#include "capture/show_frames.h"

#include <vector>

#include "show/gl_state.h"
#include "assets/show_pictures.h"
#include "offscreen/offscreen_context.h"
#include "offscreen/picture_framebuffer.h"
#include "offscreen/present_picture.h"
#include "show/sequencer.h"

namespace {

// The hooks are plain functions, so what they reach lives here, for the one run.
struct {
  const offscreen_context* context = nullptr;
  const frame_handler* handler = nullptr;
  picture_framebuffer picture;
  std::vector<std::uint8_t> rgb;
  show_outcome outcome;
} run;

void present_frame() {
  const int frame = ++run.outcome.frames_presented;
  std::span<const std::uint8_t> pixels;
  if (run.handler->wants_pixels(frame)) {
    present_picture(run.picture, run.context->framebuffer(), run.context->width(), run.context->height());
    run.context->read_frame(run.rgb);
    pixels = run.rgb;
    draw_into_picture(run.picture);
  }
  if (!run.handler->take_frame(frame, pixels)) run.outcome.stopped = true;
}

void note_end() { run.outcome.ended = true; }

}  // namespace

show_outcome run_show_frames(const offscreen_context& context, int last_frame, const frame_handler& handler) {
  run.context = &context;
  run.handler = &handler;
  run.rgb.resize(context.frame_bytes());
  if (!open_picture_framebuffer(run.picture)) {
    run.outcome.error = "this OpenGL cannot draw into a 16-bit framebuffer object";
    return run.outcome;
  }

  load_show_pictures();
  init_gl();
  reshape(picture_width, picture_height);
  set_show_hooks({present_frame, note_end});
  while (!run.outcome.ended && !run.outcome.stopped && run.outcome.frames_presented < last_frame) display();

  run.context = nullptr;
  run.handler = nullptr;
  return run.outcome;
}
