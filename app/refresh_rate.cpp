// refresh_rate.cpp: finds the CRTC under a window's centre and computes its
// mode's refresh rate from the pixel clock and the total mode size.
#include "app/refresh_rate.h"

#include <X11/extensions/Xrandr.h>

#include <memory>

namespace {

struct point {
  int x = 0;
  int y = 0;
};

point window_centre_on_root(Display* display, Window window) {
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(display, window, &attributes) == 0) return {};
  point centre;
  Window child = 0;
  XTranslateCoordinates(display, window, attributes.root, attributes.width / 2, attributes.height / 2, &centre.x,
                        &centre.y, &child);
  return centre;
}

double mode_rate(const XRRModeInfo& mode) {
  double lines = mode.vTotal;
  if (mode.modeFlags & RR_DoubleScan) lines *= 2;
  if (mode.modeFlags & RR_Interlace) lines /= 2;
  if (mode.hTotal == 0 || lines == 0) return 0.0;
  return double(mode.dotClock) / (double(mode.hTotal) * lines);
}

double rate_of_mode(const XRRScreenResources& resources, RRMode id) {
  for (int i = 0; i < resources.nmode; ++i) {
    if (resources.modes[i].id == id) return mode_rate(resources.modes[i]);
  }
  return 0.0;
}

bool holds(const XRRCrtcInfo& crtc, point at) {
  return crtc.mode != None && at.x >= crtc.x && at.y >= crtc.y && at.x < crtc.x + int(crtc.width) &&
         at.y < crtc.y + int(crtc.height);
}

}  // namespace

double refresh_rate_of_window(Display* display, Window window) {
  int event_base = 0;
  int error_base = 0;
  if (!XRRQueryExtension(display, &event_base, &error_base)) return 0.0;
  const point centre = window_centre_on_root(display, window);
  const std::unique_ptr<XRRScreenResources, decltype(&XRRFreeScreenResources)> resources(
      XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display)), XRRFreeScreenResources);
  if (!resources) return 0.0;
  for (int i = 0; i < resources->ncrtc; ++i) {
    const std::unique_ptr<XRRCrtcInfo, decltype(&XRRFreeCrtcInfo)> crtc(
        XRRGetCrtcInfo(display, resources.get(), resources->crtcs[i]), XRRFreeCrtcInfo);
    if (crtc && holds(*crtc, centre)) return rate_of_mode(*resources, crtc->mode);
  }
  return 0.0;
}
