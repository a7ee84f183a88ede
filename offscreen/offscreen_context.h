// offscreen_context.h: an OpenGL context with no window and no display server,
// drawing into a framebuffer object whose pixels can be read back as RGB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

inline constexpr int offscreen_default_width = 640;
inline constexpr int offscreen_default_height = 480;

// A desktop OpenGL compatibility context (fixed-function GL 1.1 works) through
// EGL: on a GPU's render node where one is present, else Mesa's surfaceless
// platform. It draws into a colour renderbuffer of width x height with 8 bits
// per channel and no depth buffer, as the show's window has none.
//
// Construction opens the context and makes it current on the calling thread;
// ok() tells whether that worked and error() why not. The destructor releases
// everything. Only one is meant to exist at a time in a process.
class offscreen_context {
 public:
  explicit offscreen_context(int width = offscreen_default_width, int height = offscreen_default_height);
  ~offscreen_context();
  offscreen_context(const offscreen_context&) = delete;
  offscreen_context& operator=(const offscreen_context&) = delete;

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  // Which EGL platform it runs on, e.g. "Mesa surfaceless" or "EGL device /dev/dri/renderD128".
  const std::string& platform() const { return platform_; }
  int width() const { return width_; }
  // The framebuffer object the context draws into; frames are read back from it.
  unsigned framebuffer() const { return framebuffer_; }
  int height() const { return height_; }
  std::size_t frame_bytes() const { return std::size_t(width_) * height_ * 3; }

  // Reads the frame drawn so far into framebuffer() as RGB bytes, top row first, into rgb; false
  // (and nothing read) if rgb holds fewer than frame_bytes() or the context is
  // not open. Waits for drawing to finish. Sets the pixel pack alignment to 1,
  // as the show's texture loading does too.
  bool read_frame(std::span<std::uint8_t> rgb) const;
  std::vector<std::uint8_t> read_frame() const;

 private:
  bool open_display();
  bool open_context();
  bool open_framebuffer();

  int width_;
  int height_;
  std::string error_;
  std::string platform_;
  // EGLDisplay and EGLContext are opaque pointers; kept as such so that users
  // of this header need not include EGL (whose headers can pull in X11's).
  void* display_ = nullptr;
  void* context_ = nullptr;
  unsigned framebuffer_ = 0;
  unsigned colour_buffer_ = 0;
};
