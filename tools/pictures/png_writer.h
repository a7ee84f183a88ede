// png_writer.h: saves a picture as an 8-bit RGB PNG, for looking at it.
#pragma once

#include <filesystem>

#include "tools/pictures/canvas.h"

// Returns false if the file could not be written.
bool write_png(const std::filesystem::path& file, const canvas& picture);
