// song.cpp: reads a module file into a song, and says on standard error why
// when it cannot: the show then plays without music.
#include "sound/song.h"

#include <errno.h>

#include <cstdio>

#include "sound/module_file.h"

song* load_song(const char* file_name) {
  if (file_name == nullptr) return nullptr;
  module_read read = read_module(file_name);
  if (!read.module) {
    std::fprintf(stderr, "%s: no music: %s\n", program_invocation_short_name, read.problem.c_str());
    return nullptr;
  }
  return new song{std::move(read.module)};
}
