// show_expectations.h: what the end-to-end tests expect of every run of the
// show, in one place: its length, its lines of output, the screen it draws.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "offscreen/picture_framebuffer.h"
#include "show/timeline.h"
#include "tests/e2e/show_run.h"

inline constexpr const char* loaded_line = " ca passe \n";
inline constexpr const char* short_file_line = "Error while reading file\n";

// The letterbox bars cover about 73 rows at each edge of the screen: surely
// the outer bar_rows, and surely no row open_from_edge or more from both edges.
inline constexpr int bar_rows = 72;
inline constexpr int open_from_edge = 80;

// A whole show takes a few seconds on llvmpipe; this is far beyond that.
inline constexpr auto run_limit = std::chrono::minutes(5);

// Exit code 0 after exactly the show's frames.
void expect_ran_to_its_end(const show_result& result);

// The frame the probe saved under that number.
std::filesystem::path saved_frame_file(const std::filesystem::path& folder, int frame);

std::string repeated(const std::string& line, int times);

// The show's requests for full screen after start-up: to the toolkit, which
// asks the window manager, or, with none, its own placing of the window.
std::vector<probe_event> full_screen_requests_after_start(const std::vector<probe_event>& events);
