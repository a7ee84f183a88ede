// x_server.h: a private X server for the end-to-end tests: Xorg on the dummy
// video driver, drawn by Mesa's llvmpipe, with no window manager.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "tests/support/child_process.h"

struct x_server {
  child_process process;
  std::string display;  // ":<number>"
};

struct x_server_start {
  std::optional<x_server> server{};
  std::string failure{};  // why there is no server
};

// Starts Xorg with the given configuration file on the first free display
// number and waits until it accepts connections. Its log goes to log_file.
x_server_start start_x_server(const std::filesystem::path& config_file, const std::filesystem::path& log_file,
                              std::chrono::milliseconds limit);

// Ends the server so that it removes its socket and lock file.
void stop_x_server(x_server& server);

// Leaves the server's keyboard focus nowhere, as a program that had set it to
// its own window does when it exits on a session without a window manager.
bool leave_keyboard_focus_nowhere(const std::string& display);
