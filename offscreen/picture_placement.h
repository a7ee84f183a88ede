// picture_placement.h: where the 640 by 480 picture goes in a window of any
// size: as large as fits at 4:3, centred, with black around it.
#pragma once

struct picture_placement {
  int x = 0;  // the picture's lower-left corner, in OpenGL's window coordinates
  int y = 0;
  int width = 0;  // 0 when the window has no room for a pixel
  int height = 0;
  // The largest whole multiple of the picture that fits in the placed size;
  // when it is the placed size itself, presenting only repeats pixels.
  int whole_scale = 1;

  bool is_whole_scale() const;
};

picture_placement place_picture(int window_width, int window_height);
