// swap_interval.cpp: asks for a swap interval of 1 through GLX_EXT_swap_control,
// GLX_MESA_swap_control or GLX_SGI_swap_control, whichever is offered first.
#include "app/swap_interval.h"

#include <GL/glx.h>

#include "app/extension_list.h"

namespace {

constexpr int one_refresh = 1;

template <typename function>
function look_up(const char* name) {
  return reinterpret_cast<function>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

}  // namespace

void request_swap_per_refresh() {
  Display* display = glXGetCurrentDisplay();
  const GLXDrawable drawable = glXGetCurrentDrawable();
  if (display == nullptr || drawable == 0) return;
  const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));

  using swap_interval_ext = void (*)(Display*, GLXDrawable, int);
  using swap_interval_mesa = int (*)(unsigned);
  using swap_interval_sgi = int (*)(int);
  if (has_extension(extensions, "GLX_EXT_swap_control")) {
    if (auto set = look_up<swap_interval_ext>("glXSwapIntervalEXT")) set(display, drawable, one_refresh);
  } else if (has_extension(extensions, "GLX_MESA_swap_control")) {
    if (auto set = look_up<swap_interval_mesa>("glXSwapIntervalMESA")) set(one_refresh);
  } else if (has_extension(extensions, "GLX_SGI_swap_control")) {
    if (auto set = look_up<swap_interval_sgi>("glXSwapIntervalSGI")) set(one_refresh);
  }
}
