// module_writers.h: minimal valid modules of the other tracker formats (MOD,
// S3M, IT), to stand in for the show's XM module.
#pragma once

#include <string>

// Each holds one looped square-wave sample and one pattern of 64 rows on which
// it plays four notes, one every 16 rows; the song repeats that pattern.
std::string protracker_module();  // MOD, 4 channels ("M.K.")
std::string scream_tracker_module();  // S3M
std::string impulse_tracker_module();  // IT, samples without instruments
