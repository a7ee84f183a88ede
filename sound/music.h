// music.h: the show's sound layer. It loads an XM module with libopenmpt and
// mixes it on SDL's audio thread. Results are plain integers (nonzero for
// success, 0 for failure) and nothing throws out of these calls.
#pragma once

struct song;  // a loaded module; never released by the show

// The rate start-up opens the device at, in Hz; the capture tool renders the
// music's track at the same rate, so it sounds as the show plays it.
inline constexpr int music_mix_rate = 44100;

// Opens the default audio device at mix_rate Hz, stereo. Returns 0 when there is
// no device; every later call still works and stays silent.
int sound_init(int mix_rate, int max_channels, unsigned flags);

// Loads the file as a module that loops forever. Returns nullptr for a
// missing, empty or unreadable file, one that is not a regular file or one
// over 32 MiB. Opening never blocks.
song* music_load_song(const char* file_name);

// Starts a stopped song from its beginning; a song already playing goes on
// unchanged; no song (nullptr) does nothing.
int music_play_song(song* song);

// Silences every song at once; the next play starts from the beginning.
int music_stop_all_songs();
