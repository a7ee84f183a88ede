// x_server_fixture.cpp: starts each kind of Xorg server once per test program,
// when a test first asks for it, and stops them all through a GoogleTest environment.
#include "tests/e2e/x_server_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "tests/e2e/x_server.h"
#include "tests/support/scratch_folder.h"

namespace {

constexpr auto start_limit = std::chrono::seconds(30);

struct server_of_config {
  std::optional<x_server> server;
  std::string failure;
};

struct {
  std::map<std::filesystem::path, server_of_config> servers;
  std::unique_ptr<scratch_folder> log_folder;
} shared;

server_of_config start_server(const std::filesystem::path& config_file) {
  const std::filesystem::path folder = bench_log_folder();
  if (folder.empty()) return {.server = std::nullopt, .failure = "cannot make a folder for the X server's log"};
  const std::filesystem::path log_file = folder / (config_file.stem().string() + ".log");
  x_server_start start = start_x_server(config_file, log_file, start_limit);
  return {.server = std::move(start.server), .failure = std::move(start.failure)};
}

const server_of_config& server_for(const std::filesystem::path& config_file) {
  auto found = shared.servers.find(config_file);
  if (found == shared.servers.end()) found = shared.servers.emplace(config_file, start_server(config_file)).first;
  return found->second;
}

class x_server_environment : public ::testing::Environment {
 public:
  void TearDown() override {
    for (auto& [config, started] : shared.servers) {
      if (started.server) stop_x_server(*started.server);
    }
    shared.servers.clear();
    shared.log_folder.reset();
  }
};

// Registered before main runs; GoogleTest owns and deletes it.
[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new x_server_environment);

}  // namespace

bool running_under_ci() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && (std::string_view(ci) == "true" || std::string_view(ci) == "1");
}

std::filesystem::path bench_log_folder() {
  if (!shared.log_folder) {
    try {
      shared.log_folder = std::make_unique<scratch_folder>("e2e-xorg");
    } catch (const std::runtime_error&) {
      return {};
    }
  }
  return shared.log_folder->path;
}

const x_server* shared_x_server(const std::filesystem::path& config_file, std::string& failure) {
  const server_of_config& started = server_for(config_file);
  failure = started.failure;
  return started.server ? &*started.server : nullptr;
}

void on_x_server::use_server(const std::filesystem::path& config_file) {
  const server_of_config& started = server_for(config_file);
  if (started.server) {
    display = started.server->display();
    return;
  }
  if (running_under_ci()) FAIL() << "No X server for the end-to-end tests: " << started.failure;
  GTEST_SKIP() << "No X server for the end-to-end tests (they start an Xorg server of their own "
                  "on the dummy video driver): "
               << started.failure;
}
