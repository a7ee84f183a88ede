// reference_music.cpp: libopenmpt read in device buffers, its log kept quiet.
#include "tests/support/reference_music.h"

#include <algorithm>
#include <libopenmpt/libopenmpt.hpp>
#include <sstream>

std::vector<float> render_from(openmpt::module& module, std::size_t frames, int rate) {
  std::vector<float> samples(2 * frames);
  std::size_t done = 0;
  while (done < frames) {
    const std::size_t count = std::min(device_buffer_frames, frames - done);
    const std::size_t rendered = module.read_interleaved_stereo(rate, count, samples.data() + 2 * done);
    if (rendered == 0) break;
    done += rendered;
  }
  samples.resize(2 * done);
  return samples;
}

std::vector<float> reference_render(std::string_view module_bytes, std::size_t frames, int rate) {
  std::ostringstream quiet_log;
  openmpt::module module(module_bytes.data(), module_bytes.size(), quiet_log);
  module.set_repeat_count(-1);
  return render_from(module, frames, rate);
}

std::vector<float> clamped(std::vector<float> samples) {
  for (float& sample : samples) sample = std::clamp(sample, -1.0f, 1.0f);
  return samples;
}
