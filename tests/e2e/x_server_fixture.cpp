// x_server_fixture.cpp: starts Xorg once per test program through a GoogleTest
// environment and hands its display to every test.
#include "tests/e2e/x_server_fixture.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string_view>

#include "tests/e2e/x_server.h"

namespace {

constexpr auto start_limit = std::chrono::seconds(30);

struct {
  std::optional<x_server> server;
  std::string failure = "the X server was not started";
  std::filesystem::path log_folder;
} shared;

bool running_under_ci() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && (std::string_view(ci) == "true" || std::string_view(ci) == "1");
}

class x_server_environment : public ::testing::Environment {
 public:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvan-e2e-xorg-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      shared.failure = "cannot make a folder for the X server's log";
      return;
    }
    shared.log_folder = pattern;
    x_server_start start = start_x_server(QUORVAN_XORG_CONFIG, shared.log_folder / "xorg.log", start_limit);
    shared.server = std::move(start.server);
    shared.failure = std::move(start.failure);
  }

  void TearDown() override {
    if (shared.server) stop_x_server(*shared.server);
    shared.server.reset();
    std::error_code ignored;
    if (!shared.log_folder.empty() && std::getenv("QUORVAN_E2E_KEEP") == nullptr)
      std::filesystem::remove_all(shared.log_folder, ignored);
  }
};

// Registered before main runs; GoogleTest owns and deletes it.
[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new x_server_environment);

}  // namespace

void on_x_server::SetUp() {
  if (shared.server) {
    display = shared.server->display();
    return;
  }
  if (running_under_ci()) FAIL() << "No X server for the end-to-end tests: " << shared.failure;
  GTEST_SKIP() << "No X server for the end-to-end tests (they start an Xorg server of their own "
                  "on the dummy video driver): "
               << shared.failure;
}
