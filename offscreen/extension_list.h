// extension_list.h: looks a name up in an OpenGL, GLX or EGL extension list;
// used by the offscreen context (EGL) and by the window's swap control (GLX).
#pragma once

#include <algorithm>
#include <string_view>

// Whether the space-separated list (which may be null) holds the name as a whole word.
inline bool has_extension(const char* list, std::string_view name) {
  if (list == nullptr) return false;
  for (std::string_view rest = list; !rest.empty();) {
    const std::size_t end = std::min(rest.find(' '), rest.size());
    if (rest.substr(0, end) == name) return true;
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  return false;
}
