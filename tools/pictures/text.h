// text.h: writes lines of the bitmap font onto a picture, enlarged by a whole
// factor so that each font pixel becomes a square block.
#pragma once

#include <string_view>

#include "tools/pictures/canvas.h"

// Width in pixels of a line at the given scale (no trailing letter gap).
int text_width(std::string_view text, int scale);
// Draws a line whose top-left corner is (x, y).
void draw_text(canvas& picture, int x, int y, int scale, std::string_view text, rgb colour);
// Draws a line centred across the picture with its top at y.
void draw_centred_text(canvas& picture, int y, int scale, std::string_view text, rgb colour);
