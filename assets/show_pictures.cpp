// show_pictures.cpp: loads the show's seven pictures as textures 1 to 7.
#include "assets/show_pictures.h"

#include "assets/raw_texture.h"

void load_show_pictures() {
  // A picture that fails to load has been reported already; its quads show plain white.
  for (const picture_file& picture : show_pictures) {
    load_texture(picture.file_name, picture.texture_name);
  }
}
