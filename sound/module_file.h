// module_file.h: reads a module file as the show plays it, for the show, the
// capture tool and the page's mixer alike: opening never blocks, only a
// regular file of at most 32 MiB is read, and libopenmpt must take it.
#pragma once

#include <libopenmpt/libopenmpt.hpp>
#include <memory>
#include <string>

struct module_read {
  std::unique_ptr<openmpt::module> module;  // repeating forever; null when it could not be had
  std::string problem;                      // otherwise why not, as "FILE: what was wrong"
};

module_read read_module(const char* file_name);
