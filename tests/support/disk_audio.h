// disk_audio.h: the music a program sent to SDL's disk audio driver, which
// writes every buffer the device plays to a file, read back as floats.
#pragma once

#include <filesystem>
#include <vector>

// SDL's little-endian sample formats (SDL_audio.h's AUDIO_* values).
inline constexpr int sdl_s16_samples = 0x8010;
inline constexpr int sdl_s32_samples = 0x8020;
inline constexpr int sdl_float_samples = 0x8120;

// The samples as written, interleaved, scaled to [-1, 1]; empty for another format.
std::vector<float> read_disk_audio(const std::filesystem::path& file, int sdl_format = sdl_float_samples);
