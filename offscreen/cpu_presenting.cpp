// cpu_presenting.cpp: the renderer's name, the read-back and the scaling.
#define GL_GLEXT_PROTOTYPES 1
#include "offscreen/cpu_presenting.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <string_view>
#include <thread>

bool renderer_draws_on_cpu() {
  const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  if (renderer == nullptr) return false;
  const std::string_view name = renderer;
  return std::ranges::any_of(std::to_array<std::string_view>({"llvmpipe", "softpipe", "swrast"}),
                             [&](std::string_view software) { return name.find(software) != std::string_view::npos; });
}

void plan_cpu_presenting(cpu_presenter& presenter, int width, int height) {
  if (presenter.plan.target_width == width && presenter.plan.target_height == height) return;
  presenter.plan = plan_scaling(width, height);
  presenter.picture.resize(std::size_t(picture_width) * picture_height);
  if (presenter.worker == nullptr && std::thread::hardware_concurrency() > 1)
    presenter.worker = std::make_unique<band_worker>();
}

namespace {

template <typename pixel>
struct upper_band {
  const cpu_presenter& presenter;
  std::span<pixel> target;
};

template <typename pixel>
void scale_upper_band(const void* job) {
  const auto& band = *static_cast<const upper_band<pixel>*>(job);
  scale_picture(band.presenter.plan, band.presenter.picture, band.target, scaling_band::upper);
}

template <typename pixel>
void present_into(cpu_presenter& presenter, const picture_framebuffer& picture, std::span<pixel> target, int width,
                  int height) {
  plan_cpu_presenting(presenter, width, height);
  draw_into_picture(picture);
  glPixelStorei(GL_PACK_ALIGNMENT, 2);
  glReadPixels(0, 0, picture_width, picture_height, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, presenter.picture.data());
  if (presenter.worker == nullptr) {
    scale_picture(presenter.plan, presenter.picture, target);
    return;
  }
  const upper_band<pixel> upper{presenter, target};
  presenter.worker->start(scale_upper_band<pixel>, &upper);
  scale_picture(presenter.plan, presenter.picture, target, scaling_band::lower);
  presenter.worker->finish();
}

}  // namespace

void present_on_cpu(cpu_presenter& presenter, const picture_framebuffer& picture, std::span<xrgb_pixel> target,
                    int width, int height) {
  present_into(presenter, picture, target, width, height);
}

void present_on_cpu(cpu_presenter& presenter, const picture_framebuffer& picture, std::span<rgb565_pixel> target,
                    int width, int height) {
  present_into(presenter, picture, target, width, height);
}
