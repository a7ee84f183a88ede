// make_icons.cpp: writes the program's icon, in every size a desktop looks
// for, into the hicolor theme folder it is given, and as the source of the
// icon the show's window carries.
#include <cstdio>

#include "tools/icons/icon_maker.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s THEME_FOLDER WINDOW_ICON_SOURCE\n", argv[0]);
    return 2;
  }
  if (!write_icons(argv[1])) {
    std::fprintf(stderr, "cannot write the icons into %s\n", argv[1]);
    return 1;
  }
  if (!write_window_icon_source(argv[2])) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
