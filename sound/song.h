// song.h: a loaded module and how it is read from a file.
// A song lives on the heap for the rest of the run and is never deleted.
#pragma once

#include <libopenmpt/libopenmpt.hpp>
#include <memory>

struct song {
  std::unique_ptr<openmpt::module> module;  // never null
};

// Loads the file as a module that repeats forever (read_module: opening never
// blocks, only a regular file of at most 32 MiB). Returns nullptr for a
// missing, empty or unreadable file, one that is not a regular file (a
// directory, a FIFO, a device) or one over 32 MiB, and says why in one line
// on standard error.
song* load_song(const char* file_name);
