// raw_texture.h: reads a raw 256 by 256 RGB picture and makes it a texture.
#pragma once

#include <cstdint>
#include <memory>

using pixel_buffer = std::unique_ptr<std::uint8_t[]>;

// Reads the first 196,608 bytes of the file (a longer file is accepted).
// On success prints " ca passe " and sets width and height to 256; on failure
// returns nullptr with width and height 0, after printing "Error while reading
// file" for a short file or one that is not a regular file (a directory, a
// FIFO, a device), or "Error out of Memory"; a missing file prints nothing
// there. Every failure also says on standard error which file and what was
// wrong, in one line. Opening never blocks.
pixel_buffer load_raw_image(const char* file_name, int& width, int& height);

// Loads the picture under the given texture name (nearest filtering, repeat
// wrapping, no mipmaps). Returns 1 on success, 0 on failure.
int load_texture(const char* file_name, unsigned texture_name);
