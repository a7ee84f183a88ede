// disk_audio.cpp: each sample copied out of the file's bytes and scaled.
#include "tests/support/disk_audio.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "tests/support/file_bytes.h"

namespace {

template <typename sample>
std::vector<float> decode(const std::string& bytes, float scale) {
  std::vector<float> samples(bytes.size() / sizeof(sample));
  for (std::size_t i = 0; i < samples.size(); ++i) {
    sample value;
    std::memcpy(&value, bytes.data() + i * sizeof(sample), sizeof(sample));
    samples[i] = float(value) * scale;
  }
  return samples;
}

}  // namespace

std::vector<float> read_disk_audio(const std::filesystem::path& file, int sdl_format) {
  const std::string bytes = read_file(file);
  switch (sdl_format) {
    case sdl_float_samples: return decode<float>(bytes, 1.0f);
    case sdl_s16_samples: return decode<std::int16_t>(bytes, 1.0f / 32768.0f);
    case sdl_s32_samples: return decode<std::int32_t>(bytes, 1.0f / 2147483648.0f);
    default: return {};
  }
}
