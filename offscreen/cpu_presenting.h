// cpu_presenting.h: presenting the picture on the CPU where OpenGL itself
// draws on the CPU (Mesa's llvmpipe, softpipe, swrast): the picture is read
// back, cheap from such a renderer, and scaled by cpu_scaling instead of
// having the renderer shade every pixel of a large screen. With a GPU the
// OpenGL presenter (present_picture) is kept.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "offscreen/band_worker.h"
#include "offscreen/cpu_scaling.h"
#include "offscreen/picture_framebuffer.h"

// Whether the current context's renderer draws on the CPU.
bool renderer_draws_on_cpu();

// What presenting on the CPU keeps from frame to frame: the plan for the
// target's size, the picture as read back, and on more than one core a
// worker that scales the upper half of each frame while the caller scales
// the lower.
struct cpu_presenter {
  scaling_plan plan;
  std::vector<rgb565_pixel> picture;
  std::unique_ptr<band_worker> worker;
};

// Plans presenting for a target of width by height pixels, where the size
// changed: done as the size becomes known, no frame need allocate.
void plan_cpu_presenting(cpu_presenter& presenter, int width, int height);

// Reads the picture back and scales it into target (width x height pixels,
// 0x00RRGGBB, the top row first), planning first if the size changed. The
// bands around the picture are not written: a target black when made stays
// black. Leaves the picture bound for drawing.
void present_on_cpu(cpu_presenter& presenter, const picture_framebuffer& picture, std::span<xrgb_pixel> target,
                    int width, int height);
// The same into a 16-bit target (5-6-5, as X keeps a 16-bit TrueColor pixel).
void present_on_cpu(cpu_presenter& presenter, const picture_framebuffer& picture, std::span<rgb565_pixel> target,
                    int width, int height);
