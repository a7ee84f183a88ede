// show_probe.cpp: a library the end-to-end tests preload into the real program.
// It logs what the program asks of the toolkit and the sound library, counts
// presented frames, saves chosen frames as PNG, holds the show at chosen frames
// and runs it unpaced, one step per frame (see clock_gettime below).
//
// Driven by the environment; without QUORVAN_PROBE_FOLDER it only passes calls on.
//   QUORVAN_PROBE_FOLDER  folder for "events.log", "frames", "frame_<n>.png" and the
//                         FIFO "resume" (made by the bench, which keeps it open)
//   QUORVAN_PROBE_HOLD    frames (e.g. "100,250") after whose swap the show waits
//                         until the bench writes a byte to "resume"
//   QUORVAN_PROBE_SAVE    frames to save, read from the back buffer before the swap
//   QUORVAN_PROBE_PAUSE   microseconds to wait after every presented frame, to
//                         slow the show down while the bench types at it
//
// Each line of "events.log" is "<frames presented so far> <event> [numbers...]":
//   window <width> <height>           (the program's window, as made)
//   audio <rate> <SDL format> <channels> <buffer frames>
//   reshape <width> <height>
//   key <code> <the monotonic clock in ns as the key reached the program>
//   place_window <x> <y> <width> <height>   (the window placed over a monitor)
//   hold
//   exit
// and "frames" holds the number of frames presented when the process exits.
#include <GL/freeglut.h>
#include <SDL_audio.h>
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "png/png_file.h"
#include "preload/next_definition.h"

namespace {

using keyboard_callback = void (*)(unsigned char, int, int);
using reshape_callback = void (*)(int, int);

struct {
  bool active = false;
  std::string folder;
  int log_fd = -1;
  int resume_fd = -1;
  int frames_presented = 0;
  bool swapping = false;  // inside a buffer swap
  std::vector<int> hold_frames;
  std::vector<int> saved_frames;
  useconds_t pause = 0;
  keyboard_callback keyboard = nullptr;
  reshape_callback reshape = nullptr;
  bool show_clock_started = false;
  timespec show_clock{};  // as the show's own thread sees it (see clock_gettime below)
} probe;

// One line per event, written at once, so the bench sees it while the show runs.
void log_event(const char* format, ...) {
  if (!probe.active) return;
  char line[160];
  int length = std::snprintf(line, sizeof line, "%d ", probe.frames_presented);
  va_list arguments;
  va_start(arguments, format);
  length += std::vsnprintf(line + length, sizeof line - std::size_t(length) - 1, format, arguments);
  va_end(arguments);
  length = std::min(length, int(sizeof line) - 2);
  line[length++] = '\n';
  [[maybe_unused]] const ssize_t written = write(probe.log_fd, line, std::size_t(length));
}

std::vector<int> frame_list(const char* variable) {
  const char* text = std::getenv(variable);
  std::istringstream list(text != nullptr ? text : "");
  std::vector<int> frames;
  for (int frame = 0; list >> frame; list.ignore()) frames.push_back(frame);
  return frames;
}

bool listed(const std::vector<int>& frames, int frame) { return std::ranges::find(frames, frame) != frames.end(); }

void at_exit() {
  log_event("exit");
  std::ofstream(probe.folder + "/frames") << probe.frames_presented << '\n';
}

bool start_probe() {
  // Only this program runs with the probe: any program it starts, such as the
  // sanitizers' symbolizer in the sanitized build, runs without it.
  unsetenv("LD_PRELOAD");
  const char* folder = std::getenv("QUORVAN_PROBE_FOLDER");
  if (folder == nullptr) return false;
  probe.folder = folder;
  probe.log_fd = open((probe.folder + "/events.log").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  probe.active = probe.log_fd >= 0;
  probe.hold_frames = frame_list("QUORVAN_PROBE_HOLD");
  probe.saved_frames = frame_list("QUORVAN_PROBE_SAVE");
  if (const char* pause = std::getenv("QUORVAN_PROBE_PAUSE"))
    probe.pause = useconds_t(std::strtoul(pause, nullptr, 10));
  std::atexit(at_exit);
  return probe.active;
}

// Runs as the library loads, after the probe's state above is initialised.
[[maybe_unused]] const bool probe_started = start_probe();

void write_frame(int frame, const std::vector<std::uint8_t>& top_first, int width, int height) {
  char name[32];
  std::snprintf(name, sizeof name, "/frame_%04d.png", frame);
  write_png(probe.folder + name, top_first, width, height);
}

// Reads the back buffer (the frame about to be shown) and writes it as PNG.
void save_frame(int frame) {
  const int width = glutGet(GLUT_WINDOW_WIDTH);
  const int height = glutGet(GLUT_WINDOW_HEIGHT);
  if (width <= 0 || height <= 0) return;
  const std::size_t row_bytes = std::size_t(width) * 3;
  std::vector<std::uint8_t> top_first(row_bytes * std::size_t(height));
  glPushAttrib(GL_PIXEL_MODE_BIT);
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  // OpenGL's rows run bottom to top; the picture file's top to bottom.
  for (int row = 0; row < height; ++row)
    glReadPixels(0, height - 1 - row, width, 1, GL_RGB, GL_UNSIGNED_BYTE, &top_first[std::size_t(row) * row_bytes]);
  glPopClientAttrib();
  glPopAttrib();
  write_frame(frame, top_first, width, height);
}

// A 5-6-5 pixel of 16 bits as 0x00RRGGBB, widened as OpenGL reads a 16-bit
// window back: each channel's top bits repeated below it.
std::uint32_t widened(unsigned value) {
  const unsigned red = value >> 11, green = value >> 5 & 0x3f, blue = value & 0x1f;
  return (red << 3 | red >> 2) << 16 | (green << 2 | green >> 4) << 8 | (blue << 3 | blue >> 2);
}

// The same from an image about to be put on the window, of 0x00RRGGBB pixels
// of 32 bits or 5-6-5 pixels of 16 bits.
void save_image(int frame, const XImage& image) {
  std::vector<std::uint8_t> top_first;
  top_first.reserve(std::size_t(image.width) * std::size_t(image.height) * 3);
  for (int y = 0; y < image.height; ++y) {
    const char* row = image.data + std::ptrdiff_t(y) * image.bytes_per_line;
    for (int x = 0; x < image.width; ++x) {
      const std::uint32_t value = image.bits_per_pixel == 16 ? widened(reinterpret_cast<const std::uint16_t*>(row)[x])
                                                             : reinterpret_cast<const std::uint32_t*>(row)[x];
      top_first.insert(top_first.end(), {std::uint8_t(value >> 16), std::uint8_t(value >> 8), std::uint8_t(value)});
    }
  }
  write_frame(frame, top_first, image.width, image.height);
}

// Waits for the bench: one byte on the FIFO per hold.
void hold_show() {
  if (probe.resume_fd < 0) probe.resume_fd = open((probe.folder + "/resume").c_str(), O_RDONLY | O_CLOEXEC);
  log_event("hold");
  char byte = 0;
  [[maybe_unused]] const ssize_t count = read(probe.resume_fd, &byte, 1);
}

int real_clock_gettime(clockid_t clock, timespec* now) {
  static auto* const get = next_definition<int(clockid_t, timespec*)>("clock_gettime");
  return get(clock, now);
}

bool on_show_thread() { return gettid() == getpid(); }

void report_key(unsigned char key, int x, int y) {
  timespec now{};  // the real clock, as the bench reads it, not the show's own
  real_clock_gettime(CLOCK_MONOTONIC, &now);
  log_event("key %d %lld", int(key), now.tv_sec * 1'000'000'000LL + now.tv_nsec);
  probe.keyboard(key, x, y);
}

void report_reshape(int width, int height) {
  log_event("reshape %d %d", width, height);
  probe.reshape(width, height);
}

// After a frame is on its way to the screen: counted, then held or slowed as asked.
void note_presented(int frame) {
  probe.frames_presented = frame;
  if (probe.active && listed(probe.hold_frames, frame)) hold_show();
  if (probe.active && probe.pause > 0) usleep(probe.pause);
}

}  // namespace

extern "C" {

void glutSwapBuffers() {
  static auto* const swap = next_definition<decltype(glutSwapBuffers)>("glutSwapBuffers");
  const int frame = probe.frames_presented + 1;
  if (probe.active && listed(probe.saved_frames, frame)) save_frame(frame);
  probe.swapping = true;
  swap();
  probe.swapping = false;
  note_presented(frame);
}

// Where OpenGL draws on the CPU, the show puts its frames on the window
// through shared memory instead of swapping buffers. (Mesa's software GLX
// presents a swap the same way: those puts are the swap's, counted there.)
Bool XShmPutImage(Display* display, Drawable drawable, GC gc, XImage* image, int source_x, int source_y, int x, int y,
                  unsigned width, unsigned height, Bool send_event) {
  static auto* const put = next_definition<decltype(XShmPutImage)>("XShmPutImage");
  if (probe.swapping) return put(display, drawable, gc, image, source_x, source_y, x, y, width, height, send_event);
  const int frame = probe.frames_presented + 1;
  if (probe.active && listed(probe.saved_frames, frame)) save_image(frame, *image);
  const Bool put_it = put(display, drawable, gc, image, source_x, source_y, x, y, width, height, send_event);
  XSync(display, False);  // on screen before a hold, not still in Xlib's queue
  note_presented(frame);
  return put_it;
}

int glutCreateWindow(const char* title) {
  static auto* const create = next_definition<decltype(glutCreateWindow)>("glutCreateWindow");
  const int window = create(title);
  log_event("window %d %d", glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
  return window;
}

int XMoveResizeWindow(Display* display, Window window, int x, int y, unsigned width, unsigned height) {
  static auto* const place = next_definition<decltype(XMoveResizeWindow)>("XMoveResizeWindow");
  log_event("place_window %d %d %u %u", x, y, width, height);
  return place(display, window, x, y, width, height);
}

void glutKeyboardFunc(keyboard_callback callback) {
  static auto* const set = next_definition<decltype(glutKeyboardFunc)>("glutKeyboardFunc");
  probe.keyboard = callback;
  set(callback != nullptr ? report_key : nullptr);
}

void glutReshapeFunc(reshape_callback callback) {
  static auto* const set = next_definition<decltype(glutReshapeFunc)>("glutReshapeFunc");
  probe.reshape = callback;
  set(callback != nullptr ? report_reshape : nullptr);
}

SDL_AudioDeviceID SDL_OpenAudioDevice(const char* device, int capture, const SDL_AudioSpec* desired,
                                      SDL_AudioSpec* obtained, int allowed_changes) {
  static auto* const open_device = next_definition<decltype(SDL_OpenAudioDevice)>("SDL_OpenAudioDevice");
  const SDL_AudioDeviceID id = open_device(device, capture, desired, obtained, allowed_changes);
  // Without changes allowed, the device plays exactly the format asked for.
  const SDL_AudioSpec* format = obtained != nullptr ? obtained : desired;
  if (id != 0 && format != nullptr)
    log_event("audio %d %d %d %d", format->freq, int(format->format), int(format->channels), int(format->samples));
  return id;
}

// The clock: on the show's own thread the monotonic clock moves only when the
// show sleeps to a deadline, and those sleeps return at once. The show then
// finds one new step due at every frame, and presents every step as fast as
// it can draw. Other threads, such as the sound's, keep the real clock, and
// every other sleep passes on unchanged.
int clock_gettime(clockid_t clock, timespec* now) {
  if (clock != CLOCK_MONOTONIC || !on_show_thread()) return real_clock_gettime(clock, now);
  if (!probe.show_clock_started) probe.show_clock_started = real_clock_gettime(clock, &probe.show_clock) == 0;
  *now = probe.show_clock;
  return 0;
}

int clock_nanosleep(clockid_t clock, int flags, const timespec* request, timespec* remaining) {
  static auto* const sleep = next_definition<int(clockid_t, int, const timespec*, timespec*)>("clock_nanosleep");
  if (clock != CLOCK_MONOTONIC || flags != TIMER_ABSTIME || !on_show_thread())
    return sleep(clock, flags, request, remaining);
  if (std::tie(request->tv_sec, request->tv_nsec) > std::tie(probe.show_clock.tv_sec, probe.show_clock.tv_nsec))
    probe.show_clock = *request;
  return 0;
}

}  // extern "C"
