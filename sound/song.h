// song.h: a loaded module and how it is read from a file.
// A song lives on the heap for the rest of the run and is never deleted.
#pragma once

#include <libopenmpt/libopenmpt.hpp>

struct song {
  openmpt::module module;
};

// Reads the whole file and loads it as a module that repeats forever.
// Returns nullptr for a missing, empty or unreadable file; prints nothing.
song* load_song(const char* file_name);
