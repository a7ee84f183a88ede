// x_server_fixture.h: the X servers the end-to-end tests run the show on,
// each started when a test first needs it and stopped after the last test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/e2e/show_run.h"

// Each test gets the display of a server of the show's kind: one 640x480 mode
// at depth 16. Without a server the test fails under CI (CI=true), where the
// server must run, and is skipped elsewhere, e.g. for a user who may not start Xorg.
class on_x_server : public ::testing::Test {
 protected:
  void SetUp() override { use_server(QUORVAN_XORG_CONFIG); }
  // Starts (once) the server of that configuration and takes its display.
  void use_server(const std::filesystem::path& config_file);
  // The show in that folder on this server.
  running_show start_show(const show_data_folder& folder, const show_options& options = {}) const {
    return start_show_on(display, folder, options);
  }
  std::string display;
};

// A desktop at 1024x768 that also offers the show's 640x480 mode.
class on_desktop_x_server : public on_x_server {
 protected:
  void SetUp() override { use_server(QUORVAN_XORG_DESKTOP_CONFIG); }
};

struct x_server;

// The server of that configuration, started on its first use and stopped after
// the last test; null, and why, when it cannot be started.
const x_server* shared_x_server(const std::filesystem::path& config_file, std::string& failure);

// The folder for the bench's servers' logs and configurations; empty if it cannot be made.
std::filesystem::path bench_log_folder();

// Whether the tests run under CI (CI=true), where every server must start.
bool running_under_ci();
