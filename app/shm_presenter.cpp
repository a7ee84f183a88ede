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
  XImage* image = nullptr;
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
  if (shm.image->bits_per_pixel != 32 || shm.image->bytes_per_line != 4 * width) {
    XDestroyImage(shm.image);
    shm.image = nullptr;
    return false;
  }
  shm.segment.shmid = shmget(IPC_PRIVATE, std::size_t(shm.image->bytes_per_line) * std::size_t(height), IPC_CREAT | 0600);
  void* memory = shm.segment.shmid < 0 ? reinterpret_cast<void*>(-1) : shmat(shm.segment.shmid, nullptr, 0);
  if (memory == reinterpret_cast<void*>(-1)) {
    XDestroyImage(shm.image);
    shm.image = nullptr;
    return false;
  }
  shm.segment.shmaddr = shm.image->data = static_cast<char*>(memory);
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

}  // namespace

bool open_shm_presenter() {
  shm.display = glXGetCurrentDisplay();
  shm.window = glXGetCurrentDrawable();
  if (shm.display == nullptr || shm.window == 0 || !XShmQueryExtension(shm.display)) return false;
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(shm.display, shm.window, &attributes) == 0) return false;
  // Pixels are written as 0x00RRGGBB in 32 bits: a 24-bit TrueColor window.
  XVisualInfo wanted{};
  wanted.visualid = XVisualIDFromVisual(attributes.visual);
  int found = 0;
  XVisualInfo* visual = XGetVisualInfo(shm.display, VisualIDMask, &wanted, &found);
  if (visual == nullptr) return false;
  shm.visual = *visual;
  XFree(visual);
  if (attributes.depth != 24 || shm.visual.c_class != TrueColor || shm.visual.red_mask != 0xff0000 ||
      shm.visual.green_mask != 0xff00 || shm.visual.blue_mask != 0xff)
    return false;
  // A first image proves the server shares memory with the show.
  if (!make_image(attributes.width, attributes.height)) return false;
  shm.gc = XCreateGC(shm.display, shm.window, 0, nullptr);
  return true;
}

void prepare_shm_frame(const picture_framebuffer& picture, int width, int height) {
  if (shm.image == nullptr || shm.image->width != width || shm.image->height != height) {
    release_image();
    if (!make_image(width, height)) return;
  }
  const std::span target(reinterpret_cast<xrgb_pixel*>(shm.image->data), std::size_t(width) * std::size_t(height));
  present_on_cpu(shm.cpu, picture, target, width, height);
}

void show_shm_frame() {
  if (shm.image == nullptr) return;
  XShmPutImage(shm.display, shm.window, shm.gc, shm.image, 0, 0, 0, 0, unsigned(shm.image->width),
               unsigned(shm.image->height), False);
  // The next frame is written into the same memory: the server must have read this one.
  XSync(shm.display, False);
}
