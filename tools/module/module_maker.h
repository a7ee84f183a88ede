// module_maker.h: composes the show's music as an XM module.
#pragma once

#include <filesystem>

// Writes "quorvan.xm" into the folder. Deterministic: the same bytes on every
// run. Returns false on a write error.
bool write_module(const std::filesystem::path& folder);
