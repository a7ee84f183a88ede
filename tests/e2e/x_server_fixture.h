// x_server_fixture.h: the desktops the end-to-end tests run the show on, each
// started when a test first needs it and stopped after the last test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/e2e/desktops.h"
#include "tests/e2e/show_run.h"

// Each test gets the display of a desktop: by default the show's own, one
// 640x480 mode at depth 16. Without it the test fails under CI (CI=true), where
// the server must run, and is skipped elsewhere, e.g. for a user who may not start Xorg.
class on_x_server : public ::testing::Test {
 protected:
  void SetUp() override { use_desktop(show_desktop); }
  // Starts (once) the desktop of that kind and takes its display.
  void use_desktop(const desktop_kind& kind);
  // The show in that folder on this desktop.
  running_show start_show(const show_data_folder& folder, const show_options& options = {}) const {
    return start_show_on(display, folder, options);
  }
  desktop_server server;
  std::string display;
};

// The desktop of the test's parameter.
class on_desktop : public on_x_server, public ::testing::WithParamInterface<desktop_kind> {
 protected:
  void SetUp() override { use_desktop(GetParam()); }
};

// The folder for the bench's servers' logs and configurations; empty if it cannot be made.
std::filesystem::path bench_log_folder();

// Whether the tests run under CI (CI=true), where every server must start.
bool running_under_ci();
