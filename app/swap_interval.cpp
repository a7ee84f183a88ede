// swap_interval.cpp: sets the swap interval through GLX_EXT_swap_control,
// GLX_MESA_swap_control or GLX_SGI_swap_control, whichever is offered first.
#include "app/swap_interval.h"

#include <GL/glx.h>

#include <cmath>

#include "app/refresh_rate.h"
#include "offscreen/extension_list.h"

namespace {

constexpr double show_frame_rate = 60.0;
// Monitors sold as 120 Hz may run at 119.88 Hz; close enough to pace evenly.
constexpr double rate_tolerance = 1.0;

template <typename function>
function look_up(const char* name) {
  return reinterpret_cast<function>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

}  // namespace

int swap_interval_for(double refresh_rate) {
  const double refreshes_per_frame = std::round(refresh_rate / show_frame_rate);
  if (refreshes_per_frame < 1.0) return 1;
  if (std::abs(refresh_rate - refreshes_per_frame * show_frame_rate) > rate_tolerance) return 1;
  return int(refreshes_per_frame);
}

bool refresh_paces_swaps(double refresh_rate) {
  return std::abs(refresh_rate - swap_interval_for(refresh_rate) * show_frame_rate) <= rate_tolerance;
}

bool request_paced_swap_interval() {
  Display* display = glXGetCurrentDisplay();
  const GLXDrawable drawable = glXGetCurrentDrawable();
  if (display == nullptr || drawable == 0) return false;
  const double rate = refresh_rate_of_window(display, drawable);
  const int interval = swap_interval_for(rate);
  const bool paces = refresh_paces_swaps(rate);
  const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));

  using swap_interval_ext = void (*)(Display*, GLXDrawable, int);
  using swap_interval_mesa = int (*)(unsigned);
  using swap_interval_sgi = int (*)(int);
  if (has_extension(extensions, "GLX_EXT_swap_control")) {
    if (auto set = look_up<swap_interval_ext>("glXSwapIntervalEXT")) {
      set(display, drawable, interval);
      return paces;
    }
  } else if (has_extension(extensions, "GLX_MESA_swap_control")) {
    if (auto set = look_up<swap_interval_mesa>("glXSwapIntervalMESA")) return set(unsigned(interval)) == 0 && paces;
  } else if (has_extension(extensions, "GLX_SGI_swap_control")) {
    if (auto set = look_up<swap_interval_sgi>("glXSwapIntervalSGI")) return set(interval) == 0 && paces;
  }
  return false;
}
