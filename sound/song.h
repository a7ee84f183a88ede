// song.h: a loaded module and how it is read from a file.
// A song lives on the heap for the rest of the run and is never deleted.
#pragma once

#include <libopenmpt/libopenmpt.hpp>

struct song {
  openmpt::module module;
};

// Loads the file as a module that repeats forever. Opening never blocks.
// Returns nullptr for a missing, empty or unreadable file, one that is not a
// regular file (a directory, a FIFO, a device) or one over 32 MiB; prints nothing.
song* load_song(const char* file_name);
