// shm_presenter.cpp: one shared XImage the size of the window, the CPU
// presenter writing into it, and XShmPutImage.
#include "app/shm_presenter.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <span>

#include "offscreen/cpu_presenting.h"

namespace {

struct {
  Display* display = nullptr;
  Window window = 0;
  GC gc = nullptr;
  XVisualInfo visual{};
  int bytes_per_pixel = 0;  // 4 for a 24-bit window, 2 for a 16-bit one
  XImage* image = nullptr;
  bool bands_shown = false;  // the black around the picture, put once for each size
  XShmSegmentInfo segment{};
  cpu_presenter cpu;
} shm;

// The X server's answer to attaching the segment comes as an error event,
// which by default ends the program: it is caught while attaching.
bool attach_failed = false;
int note_attach_failure(Display*, XErrorEvent*) {
  attach_failed = true;
  return 0;
}

void release_image() {
  if (shm.image == nullptr) return;
  XShmDetach(shm.display, &shm.segment);
  XSync(shm.display, False);
  XDestroyImage(shm.image);  // frees the XImage, not the shared memory
  shmdt(shm.segment.shmaddr);
  shm.image = nullptr;
}

// A black image of the window's size in a new shared segment, or false.
bool make_image(int width, int height) {
  shm.image = XShmCreateImage(shm.display, shm.visual.visual, unsigned(shm.visual.depth), ZPixmap, nullptr,
                              &shm.segment, unsigned(width), unsigned(height));
  if (shm.image == nullptr) return false;
  if (shm.image->bits_per_pixel != 8 * shm.bytes_per_pixel ||
      shm.image->bytes_per_line != shm.bytes_per_pixel * width) {
    XDestroyImage(shm.image);
    shm.image = nullptr;
    return false;
  }
  shm.segment.shmid =
      shmget(IPC_PRIVATE, std::size_t(shm.image->bytes_per_line) * std::size_t(height), IPC_CREAT | 0600);
  void* memory = shm.segment.shmid < 0 ? reinterpret_cast<void*>(-1) : shmat(shm.segment.shmid, nullptr, 0);
  if (memory == reinterpret_cast<void*>(-1)) {
    XDestroyImage(shm.image);
    shm.image = nullptr;
    return false;
  }
  shm.segment.shmaddr = shm.image->data = static_cast<char*>(memory);
  shm.bands_shown = false;
  shm.segment.readOnly = False;
  attach_failed = false;
  XErrorHandler previous = XSetErrorHandler(note_attach_failure);
  XShmAttach(shm.display, &shm.segment);
  XSync(shm.display, False);
  XSetErrorHandler(previous);
  // Removed now, the segment lasts until both sides have let it go.
  shmctl(shm.segment.shmid, IPC_RMID, nullptr);
  if (attach_failed) {
    XDestroyImage(shm.image);
    shmdt(memory);
    shm.image = nullptr;
    return false;
  }
  return true;
}

// The window's pixels as the presenter writes them: 0x00RRGGBB in 32 bits for
// 24-bit TrueColor, 5-6-5 in 16 bits for 16-bit TrueColor; 0 for any other.
int bytes_per_pixel_written(int depth, const XVisualInfo& visual) {
  if (visual.c_class != TrueColor) return 0;
  if (depth == 24 && visual.red_mask == 0xff0000 && visual.green_mask == 0xff00 && visual.blue_mask == 0xff) return 4;
  if (depth == 16 && visual.red_mask == 0xf800 && visual.green_mask == 0x7e0 && visual.blue_mask == 0x1f) return 2;
  return 0;
}

template <typename pixel>
std::span<pixel> image_pixels() {
  return {reinterpret_cast<pixel*>(shm.image->data), std::size_t(shm.image->width) * std::size_t(shm.image->height)};
}

}  // namespace

bool open_shm_presenter() {
  shm.display = glXGetCurrentDisplay();
  shm.window = glXGetCurrentDrawable();
  if (shm.display == nullptr || shm.window == 0 || !XShmQueryExtension(shm.display)) return false;
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(shm.display, shm.window, &attributes) == 0) return false;
  XVisualInfo wanted{};
  wanted.visualid = XVisualIDFromVisual(attributes.visual);
  int found = 0;
  XVisualInfo* visual = XGetVisualInfo(shm.display, VisualIDMask, &wanted, &found);
  if (visual == nullptr) return false;
  shm.visual = *visual;
  XFree(visual);
  shm.bytes_per_pixel = bytes_per_pixel_written(attributes.depth, shm.visual);
  if (shm.bytes_per_pixel == 0) return false;
  // A first image proves the server shares memory with the show.
  if (!make_image(attributes.width, attributes.height)) return false;
  shm.gc = XCreateGC(shm.display, shm.window, 0, nullptr);
  // Frames put only the picture: where the window is shown again after being
  // covered, the X server itself paints the bands black (pixel 0 in both
  // formats) until the next frame.
  XSetWindowBackground(shm.display, shm.window, 0);
  return true;
}

void size_shm_frame(int width, int height) {
  if (shm.image == nullptr || shm.image->width != width || shm.image->height != height) {
    release_image();
    if (!make_image(width, height)) return;
  }
  plan_cpu_presenting(shm.cpu, width, height);
}

void prepare_shm_frame(const picture_framebuffer& picture, int width, int height) {
  size_shm_frame(width, height);
  if (shm.image == nullptr) return;
  if (shm.bytes_per_pixel == 4) {
    present_on_cpu(shm.cpu, picture, image_pixels<xrgb_pixel>(), width, height);
  } else {
    present_on_cpu(shm.cpu, picture, image_pixels<rgb565_pixel>(), width, height);
  }
}

void show_shm_frame() {
  if (shm.image == nullptr) return;
  // The whole image once for each size, with its black bands; after that the
  // picture's area alone, its top row counted from the window's top.
  const picture_placement& placed = shm.cpu.plan.placed;
  const int x = shm.bands_shown ? placed.x : 0;
  const int y = shm.bands_shown ? shm.image->height - placed.y - placed.height : 0;
  const int width = shm.bands_shown ? placed.width : shm.image->width;
  const int height = shm.bands_shown ? placed.height : shm.image->height;
  if (width > 0 && height > 0)
    XShmPutImage(shm.display, shm.window, shm.gc, shm.image, x, y, x, y, unsigned(width), unsigned(height), False);
  shm.bands_shown = true;
  // The next frame is written into the same memory: the server must have read this one.
  XSync(shm.display, False);
}
