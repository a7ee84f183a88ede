// offscreen_context.cpp: opens an EGL display (GPU render node or Mesa
// surfaceless), a desktop OpenGL compatibility context and a colour-only FBO.
#include "offscreen/offscreen_context.h"

#define GL_GLEXT_PROTOTYPES 1
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>

#include "offscreen/extension_list.h"

namespace {

std::string egl_error_text() {
  char text[32];
  std::snprintf(text, sizeof text, "EGL error 0x%04x", unsigned(eglGetError()));
  return text;
}

// The DRM node of an EGL device, or empty for one without (Mesa's software device).
std::string drm_node_of(EGLDeviceEXT device, PFNEGLQUERYDEVICESTRINGEXTPROC query_string) {
  const char* extensions = query_string(device, EGL_EXTENSIONS);
  const char* node = nullptr;
  if (has_extension(extensions, "EGL_EXT_device_drm_render_node"))
    node = query_string(device, EGL_DRM_RENDER_NODE_FILE_EXT);
  if (node == nullptr && has_extension(extensions, "EGL_EXT_device_drm"))
    node = query_string(device, EGL_DRM_DEVICE_FILE_EXT);
  return node != nullptr ? node : "";
}

// An initialised display on the first EGL device that has a DRM node (a GPU),
// or EGL_NO_DISPLAY when there is none or none will initialise.
EGLDisplay open_gpu_display(const char* client_extensions, std::string& platform) {
  if (!has_extension(client_extensions, "EGL_EXT_platform_device") ||
      !has_extension(client_extensions, "EGL_EXT_device_enumeration"))
    return EGL_NO_DISPLAY;
  const auto query_devices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
  const auto query_string =
      reinterpret_cast<PFNEGLQUERYDEVICESTRINGEXTPROC>(eglGetProcAddress("eglQueryDeviceStringEXT"));
  if (query_devices == nullptr || query_string == nullptr) return EGL_NO_DISPLAY;

  constexpr EGLint max_devices = 16;
  EGLDeviceEXT devices[max_devices];
  EGLint device_count = 0;
  if (!query_devices(max_devices, devices, &device_count)) return EGL_NO_DISPLAY;
  for (EGLint i = 0; i < device_count; ++i) {
    const std::string node = drm_node_of(devices[i], query_string);
    if (node.empty()) continue;
    EGLDisplay display = eglGetPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr);
    if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr)) {
      platform = "EGL device " + node;
      return display;
    }
  }
  return EGL_NO_DISPLAY;
}

}  // namespace

offscreen_context::offscreen_context(int width, int height) : width_(width), height_(height) {
  if (width <= 0 || height <= 0) {
    error_ = "offscreen size must be positive, not " + std::to_string(width) + "x" + std::to_string(height);
    return;
  }
  if (open_display() && open_context()) open_framebuffer();
}

bool offscreen_context::open_display() {
  const char* client_extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (client_extensions == nullptr) {
    error_ = "EGL lists no client extensions, so it has no platforms to choose from";
    return false;
  }
  EGLDisplay display = open_gpu_display(client_extensions, platform_);
  if (display == EGL_NO_DISPLAY) {
    if (!has_extension(client_extensions, "EGL_MESA_platform_surfaceless")) {
      error_ = "EGL offers neither a GPU device nor Mesa's surfaceless platform";
      return false;
    }
    display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
      error_ = "cannot initialise EGL on Mesa's surfaceless platform: " + egl_error_text();
      return false;
    }
    platform_ = "Mesa surfaceless";
  }
  display_ = display;
  return true;
}

bool offscreen_context::open_context() {
  // Nothing is ever drawn to an EGL surface: the context is made current
  // without one and draws into its own framebuffer object.
  if (!has_extension(eglQueryString(display_, EGL_EXTENSIONS), "EGL_KHR_surfaceless_context")) {
    error_ = platform_ + " cannot make a context current without a surface";
    return false;
  }
  const EGLint config_attributes[] = {EGL_SURFACE_TYPE, 0,  // any: no surface is made
                                      EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
  EGLConfig config = nullptr;
  EGLint config_count = 0;
  if (!eglChooseConfig(display_, config_attributes, &config, 1, &config_count) || config_count < 1) {
    error_ = platform_ + " has no configuration for desktop OpenGL";
    return false;
  }
  if (!eglBindAPI(EGL_OPENGL_API)) {
    error_ = platform_ + " does not offer desktop OpenGL: " + egl_error_text();
    return false;
  }
  // The compatibility profile keeps the fixed-function pipeline the show draws with.
  const EGLint context_attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                       EGL_NONE};
  context_ = eglCreateContext(display_, config, EGL_NO_CONTEXT, context_attributes);
  if (context_ == EGL_NO_CONTEXT) {
    context_ = nullptr;
    error_ = "cannot create an OpenGL context on " + platform_ + ": " + egl_error_text();
    return false;
  }
  if (!eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_)) {
    error_ = "cannot make the OpenGL context current: " + egl_error_text();
    return false;
  }
  return true;
}

bool offscreen_context::open_framebuffer() {
  // Colour only, 8 bits per channel: no depth buffer, as on the show's screen,
  // where the depth test then lets every fragment through.
  glGenRenderbuffers(1, &colour_buffer_);
  glBindRenderbuffer(GL_RENDERBUFFER, colour_buffer_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width_, height_);
  glGenFramebuffers(1, &framebuffer_);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_buffer_);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    error_ = std::string("cannot draw into a framebuffer object with OpenGL ") +
             (version != nullptr ? version : "(no version)");
    return false;
  }
  // A window's context starts with a viewport over the whole window; so does this one.
  glViewport(0, 0, width_, height_);
  return true;
}

offscreen_context::~offscreen_context() {
  if (context_ != nullptr) {
    if (framebuffer_ != 0) glDeleteFramebuffers(1, &framebuffer_);
    if (colour_buffer_ != 0) glDeleteRenderbuffers(1, &colour_buffer_);
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display_, context_);
  }
  if (display_ != nullptr) eglTerminate(display_);
  eglReleaseThread();
}

bool offscreen_context::read_frame(std::span<std::uint8_t> rgb) const {
  if (!ok() || rgb.size() < frame_bytes()) return false;
  glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  // OpenGL hands the bottom row over first; turn the rows round.
  const std::size_t row_bytes = std::size_t(width_) * 3;
  for (int top = 0, bottom = height_ - 1; top < bottom; ++top, --bottom)
    std::swap_ranges(rgb.begin() + top * row_bytes, rgb.begin() + (top + 1) * row_bytes,
                     rgb.begin() + bottom * row_bytes);
  return true;
}

std::vector<std::uint8_t> offscreen_context::read_frame() const {
  std::vector<std::uint8_t> rgb(frame_bytes());
  read_frame(rgb);
  return rgb;
}
