// x_server_fixture.h: one X server for the whole test program, started before
// the first test and stopped after the last, and the fixture the tests share.
#pragma once

#include <gtest/gtest.h>

#include <string>

// Each test gets the server's display. Without a server the test fails under
// CI (CI=true), where the server must run, and is skipped elsewhere, e.g. for
// a user who may not start Xorg.
class on_x_server : public ::testing::Test {
 protected:
  void SetUp() override;
  std::string display;
};
