// picture_framebuffer.h: the show's picture. Every frame is drawn at 640 by 480
// in 16-bit colour (RGB565) into this framebuffer object, whatever the screen.
#pragma once

inline constexpr int picture_width = 640;
inline constexpr int picture_height = 480;

// A framebuffer object with one RGB565 colour renderbuffer and no depth
// buffer, as the show's 16-bit screen had none. It lives as long as its context.
struct picture_framebuffer {
  unsigned framebuffer = 0;
  unsigned colour_buffer = 0;
};

// Makes the picture's framebuffer in the current context and binds it for
// drawing; false when that OpenGL cannot draw into such a framebuffer.
bool open_picture_framebuffer(picture_framebuffer& picture);

// Binds the picture for drawing and reading, as the show's frames expect.
void draw_into_picture(const picture_framebuffer& picture);
