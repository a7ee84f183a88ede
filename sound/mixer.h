// mixer.h: the songs that are playing, shared between the show's thread,
// which starts and stops them, and the audio thread, which mixes them.
#pragma once

#include <span>

struct song;

// Starts a stopped song from its beginning; a song already playing goes on.
void start_song(song& song);

// Stops every song at once.
void stop_all_songs();

// Fills interleaved stereo samples with the sum of the playing songs,
// clamped to [-1, 1]; silence when none plays. Called on the audio thread.
void mix_songs(std::span<float> interleaved_stereo, int mix_rate);
