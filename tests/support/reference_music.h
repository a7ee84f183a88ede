// reference_music.h: the module as libopenmpt itself plays it, interleaved
// stereo floats, to compare the music of the show and its tools with.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "sound/music.h"

namespace openmpt {
class module;
}

// The sound layer reads the module a device buffer at a time; libopenmpt's
// output differs in the last bit where its blocks are cut differently.
inline constexpr std::size_t device_buffer_frames = 1024;

// The module from where it stands, that many frames; fewer if it ends first.
std::vector<float> render_from(openmpt::module& module, std::size_t frames, int rate = music_mix_rate);

// The module from its start, looping forever as the show plays it. Not clamped.
std::vector<float> reference_render(std::string_view module_bytes, std::size_t frames, int rate = music_mix_rate);

// The samples limited to [-1, 1], as the sound device plays them.
std::vector<float> clamped(std::vector<float> samples);
