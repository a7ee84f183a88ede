// picture_maker.h: draws the show's seven pictures.
#pragma once

#include <filesystem>

// Writes the seven raw pictures (and a PNG copy of each) into the folder.
// Deterministic: the same bytes on every run. Returns false on a write error.
bool write_pictures(const std::filesystem::path& folder);
