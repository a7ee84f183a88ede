// x_server_fixture.cpp: gives each test its desktop, started by desktops.cpp
// once per test program, and the folder for the servers' logs.
#include "tests/e2e/x_server_fixture.h"

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "tests/support/scratch_folder.h"

namespace {

std::unique_ptr<scratch_folder> log_folder;

// After the last test: the desktops stopped, then the folder of their logs removed.
class bench_environment : public ::testing::Environment {
 public:
  void TearDown() override {
    stop_desktops();
    log_folder.reset();
  }
};

// Registered before main runs; GoogleTest owns and deletes it.
[[maybe_unused]] ::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new bench_environment);

}  // namespace

bool running_under_ci() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && (std::string_view(ci) == "true" || std::string_view(ci) == "1");
}

std::filesystem::path bench_log_folder() {
  if (!log_folder) {
    try {
      log_folder = std::make_unique<scratch_folder>("e2e-desktops");
    } catch (const std::runtime_error&) {
      return {};
    }
  }
  return log_folder->path;
}

void on_x_server::use_desktop(const desktop_kind& kind) {
  std::string failure;
  if (std::optional<desktop_server> started = desktop_of(kind, failure)) {
    server = std::move(*started);
    display = server.display;
    return;
  }
  if (running_under_ci()) FAIL() << "No " << kind.name << " desktop: " << failure;
  GTEST_SKIP() << "No " << kind.name << " desktop (the tests start their own servers): " << failure;
}
