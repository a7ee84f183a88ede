// show_frames.cpp: the show's two hooks for a capture. Presenting a frame
// scales the picture into the context's frame, as on screen (on the CPU where
// the renderer draws on the CPU, as the show's window does), and reads it back;
// the end of the show is only noted, as the capture still has to finish its
// files: nothing here exits.
#include "capture/show_frames.h"

#include <vector>

#include "show/gl_state.h"
#include "assets/show_pictures.h"
#include "offscreen/cpu_presenting.h"
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
  bool on_cpu = false;
  cpu_presenter cpu;
  std::vector<xrgb_pixel> scaled;  // black around the picture, as on screen
  show_outcome outcome;
} run;

// The frame as RGB, the top row first.
void present_into_rgb() {
  const int width = run.context->width();
  const int height = run.context->height();
  if (!run.on_cpu) {
    present_picture(run.picture, run.context->framebuffer(), width, height);
    run.context->read_frame(run.rgb);
    draw_into_picture(run.picture);
    return;
  }
  run.scaled.resize(std::size_t(width) * std::size_t(height));
  present_on_cpu(run.cpu, run.picture, run.scaled, width, height);
  for (std::size_t pixel = 0; pixel < run.scaled.size(); ++pixel) {
    const xrgb_pixel colour = run.scaled[pixel];
    run.rgb[3 * pixel] = std::uint8_t(colour >> 16);
    run.rgb[3 * pixel + 1] = std::uint8_t(colour >> 8);
    run.rgb[3 * pixel + 2] = std::uint8_t(colour);
  }
}

void present_frame() {
  const int frame = ++run.outcome.frames_presented;
  std::span<const std::uint8_t> pixels;
  if (run.handler->wants_pixels(frame)) {
    present_into_rgb();
    pixels = run.rgb;
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

  run.on_cpu = renderer_draws_on_cpu();
  load_show_pictures();
  init_gl();
  reshape(picture_width, picture_height);
  set_show_hooks({present_frame, note_end});
  while (!run.outcome.ended && !run.outcome.stopped && run.outcome.frames_presented < last_frame) display();

  run.context = nullptr;
  run.handler = nullptr;
  return run.outcome;
}
