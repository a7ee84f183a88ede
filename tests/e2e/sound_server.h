// sound_server.h: a private desktop sound server for the end-to-end tests,
// PulseAudio or PipeWire with its PulseAudio service, with one null sink that
// SDL finds as it would a desktop's, and a recording of its monitor.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "sound/music.h"
#include "tests/support/child_process.h"

// The null sink plays what it is given at the music's own rate, as floats, so
// the recording holds the show's mix unchanged.
inline constexpr int sink_rate = music_mix_rate;

// The two servers Linux desktops play sound through. Both answer the
// PulseAudio protocol at pulse/native in the runtime folder, so pactl and parec
// reach either; PipeWire also offers its own socket, which SDL may prefer.
enum class sound_server_kind { pulseaudio, pipewire };
std::string name_of(sound_server_kind kind);

struct sound_server {
  // The daemons in the order they were started: PulseAudio alone, or a private
  // session bus, PipeWire, its session manager and its PulseAudio service.
  std::vector<child_process> processes{};
  std::vector<std::string> names{};        // each daemon's program; its log is <name>.log
  std::filesystem::path runtime_folder{};  // XDG_RUNTIME_DIR; the socket is pulse/native in it

  // What a program needs to reach this server as a desktop session's own.
  std::vector<std::string> client_environment() const;
};

struct sound_server_start {
  std::optional<sound_server> server{};
  std::string failure{};  // why there is no server
};

// Starts the server with a null sink as the default sink in the given (new,
// private) runtime folder, and waits until it answers.
sound_server_start start_sound_server(sound_server_kind kind, const std::filesystem::path& runtime_folder,
                                      std::chrono::milliseconds limit);

// Ends the server's daemons by their process ids, last started first, and waits for them.
void stop_sound_server(sound_server& server);

// Kills the server's daemons at once, as a crash would, and reaps them.
void kill_sound_server(sound_server& server);

// The null sink's monitor, recorded with parec from when it is made. Each block
// parec hands over is stamped with the monotonic time it arrived, so the time
// a sound reached the sink can be told.
class sink_recording {
 public:
  explicit sink_recording(const sound_server& server);
  ~sink_recording();

  // Interleaved stereo frames recorded so far.
  std::size_t frames() const;
  // Waits until that many more frames have arrived; false at the limit.
  bool wait_for_more(double seconds, std::chrono::milliseconds limit) const;
  // A copy of everything recorded so far.
  std::vector<float> samples() const;
  // When the frame reached the recorder (the monotonic clock); nullopt if not yet.
  std::optional<std::chrono::nanoseconds> arrival_of(std::size_t frame) const;
  // The recorder's first frame recorded at or after that time.
  std::size_t frame_at(std::chrono::nanoseconds time) const;

 private:
  struct block {
    std::size_t end_frame;
    std::chrono::nanoseconds arrived;
  };
  void read_blocks();

  int fd_ = -1;
  child_process parec_;
  mutable std::mutex mutex_;
  std::vector<float> samples_;
  std::vector<block> blocks_;
  std::atomic<bool> stopping_ = false;
  std::thread reader_;
};
