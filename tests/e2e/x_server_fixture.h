// x_server_fixture.h: the X servers the end-to-end tests run the show on,
// each started when a test first needs it and stopped after the last test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// Each test gets the display of a server of the show's kind: one 640x480 mode
// at depth 16. Without a server the test fails under CI (CI=true), where the
// server must run, and is skipped elsewhere, e.g. for a user who may not start Xorg.
class on_x_server : public ::testing::Test {
 protected:
  void SetUp() override { use_server(QUORVAN_XORG_CONFIG); }
  // Starts (once) the server of that configuration and takes its display.
  void use_server(const std::filesystem::path& config_file);
  std::string display;
};

// A desktop at 1024x768 that also offers the show's 640x480 mode.
class on_desktop_x_server : public on_x_server {
 protected:
  void SetUp() override { use_server(QUORVAN_XORG_DESKTOP_CONFIG); }
};

// A desktop at 1024x768 with no 640x480 mode: game mode cannot be entered.
class on_x_server_without_game_mode : public on_x_server {
 protected:
  void SetUp() override { use_server(QUORVAN_XORG_NO_GAME_MODE_CONFIG); }
};
