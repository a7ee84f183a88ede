// next_definition.h: for libraries preloaded into a program to stand in front
// of one of its library functions and pass the call on.
#pragma once

#include <dlfcn.h>

// The definition the preloaded library hides, further down the lookup order.
template <typename function>
function* next_definition(const char* name) {
  return reinterpret_cast<function*>(dlsym(RTLD_NEXT, name));
}
