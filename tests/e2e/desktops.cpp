// desktops.cpp: writes an Xorg configuration for each kind of desktop, lays out
// two monitors with xrandr, and starts weston with Xwayland on a private socket.
#include "tests/e2e/desktops.h"

#include <signal.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <thread>

#include "tests/e2e/x_server.h"
#include "tests/e2e/x_server_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/file_bytes.h"

namespace {

constexpr auto tool_limit = std::chrono::seconds(10);
constexpr auto weston_start_limit = std::chrono::seconds(30);
constexpr auto weston_stop_grace = std::chrono::seconds(5);
constexpr auto log_poll_interval = std::chrono::milliseconds(50);

// Standard timings at 60 Hz for the sizes the bench uses.
const std::map<std::string, std::string> modelines{
    {"640x480", "25.175 640 656 752 800 480 490 492 525 -hsync -vsync"},
    {"1024x768", "65.0 1024 1048 1184 1344 768 771 777 806 -hsync -vsync"},
    {"1920x1080", "148.5 1920 2008 2052 2200 1080 1084 1089 1125 +hsync +vsync"},
    {"2560x1080", "230.0 2560 2720 2992 3424 1080 1083 1093 1120 -hsync +vsync"},
};

std::string size_name(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

// A dummy-driver server whose first mode is the desktop's; the screen is wide
// enough for all its monitors side by side.
std::string xorg_config(const desktop_kind& kind) {
  const std::string desktop_mode = size_name(kind.width, kind.height);
  const int screen_width = kind.width * kind.monitors;
  const long video_ram_kib = long(screen_width) * kind.height * 4 / 1024 + 4096;
  std::ostringstream text;
  text << "# " << kind.name << ": written by the end-to-end bench.\n"
       << "Section \"ServerFlags\"\n"
       << "  Option \"AutoAddDevices\" \"false\"\n"
       << "  Option \"AutoEnableDevices\" \"false\"\n"
       << "  Option \"DontVTSwitch\" \"true\"\n"
       << "EndSection\n"
       << "Section \"Device\"\n  Identifier \"dummy_card\"\n  Driver \"dummy\"\n"
       << "  VideoRam " << video_ram_kib << "\nEndSection\n"
       << "Section \"Monitor\"\n  Identifier \"dummy_monitor\"\n"
       << "  HorizSync 5.0 - 1000.0\n  VertRefresh 5.0 - 200.0\n"
       << "  Modeline \"" << desktop_mode << "\" " << modelines.at(desktop_mode) << "\n";
  if (kind.offers_640x480) text << "  Modeline \"640x480\" " << modelines.at("640x480") << "\n";
  text << "EndSection\n"
       << "Section \"Screen\"\n  Identifier \"dummy_screen\"\n  Device \"dummy_card\"\n"
       << "  Monitor \"dummy_monitor\"\n  DefaultDepth " << kind.depth << "\n"
       << "  SubSection \"Display\"\n    Depth " << kind.depth << "\n"
       << "    Modes \"" << desktop_mode << "\"" << (kind.offers_640x480 ? " \"640x480\"" : "") << "\n"
       << "    Virtual " << screen_width << " " << kind.height << "\n"
       << "  EndSubSection\nEndSection\n";
  return text.str();
}

program_run run_tool(const std::vector<std::string>& command, const std::string& display) {
  return run_program({.command = command, .environment = {"DISPLAY=" + display}}, tool_limit);
}

// The dummy driver's second output, given the desktop's mode and put to the
// right of the first; the right-hand monitor is the primary one, so a show
// that simply took the screen's corner would be on the wrong monitor.
bool lay_out_two_monitors(const desktop_kind& kind, const std::string& display) {
  const std::string mode = size_name(kind.width, kind.height);
  return run_tool({"xrandr", "--addmode", "DUMMY1", mode}, display).exited_with(0) &&
         run_tool({"xrandr", "--output", "DUMMY0", "--mode", mode, "--pos", "0x0", "--output", "DUMMY1", "--mode", mode,
                   "--right-of", "DUMMY0", "--primary"},
                  display)
             .exited_with(0);
}

std::optional<desktop_server> xorg_desktop(const desktop_kind& kind, std::string& failure) {
  const std::filesystem::path config = bench_log_folder() / (std::string("xorg-") + kind.name + ".conf");
  const bool first_use = !std::filesystem::exists(config);
  if (first_use) std::ofstream(config) << xorg_config(kind);
  const x_server* server = shared_x_server(config, failure);
  if (server == nullptr) return std::nullopt;
  if (first_use && kind.monitors == 2 && !lay_out_two_monitors(kind, server->display())) {
    failure = "xrandr could not lay out two monitors";
    return std::nullopt;
  }
  return desktop_server{.display = server->display(), .wayland_log = {}};
}

struct weston_run {
  child_process process;
  desktop_server server;
  std::filesystem::path runtime_folder;
};

// weston's servers, one per kind, stopped after the last test.
std::map<std::string, weston_run> westons;

class weston_environment : public ::testing::Environment {
 public:
  void TearDown() override {
    for (auto& [name, run] : westons) {
      stop_process(run.process, weston_stop_grace);
      std::error_code ignored;
      std::filesystem::remove_all(run.runtime_folder, ignored);
    }
    westons.clear();
  }
};

[[maybe_unused]] ::testing::Environment* const weston_cleanup =
    ::testing::AddGlobalTestEnvironment(new weston_environment);

// The X display weston's Xwayland listens on, once weston has said so in its log.
std::optional<std::string> xwayland_display(const std::filesystem::path& log, child_process& weston) {
  const std::regex listening("xserver listening on display (:[0-9]+)");
  const auto deadline = std::chrono::steady_clock::now() + weston_start_limit;
  while (std::chrono::steady_clock::now() < deadline && !has_ended(weston)) {
    std::smatch found;
    const std::string text = read_file(log);
    if (std::regex_search(text, found, listening)) return found[1].str();
    std::this_thread::sleep_for(log_poll_interval);
  }
  return std::nullopt;
}

std::optional<desktop_server> weston_desktop(const desktop_kind& kind, std::string& failure) {
  if (auto found = westons.find(kind.name); found != westons.end()) return found->second.server;
  const std::filesystem::path folder = bench_log_folder();
  // Its own, and the user's alone, as weston wants its runtime folder.
  const std::filesystem::path runtime = folder / (std::string("weston-runtime-") + kind.name);
  std::error_code error;
  std::filesystem::create_directory(runtime, error);
  std::filesystem::permissions(runtime, std::filesystem::perms::owner_all, error);
  if (folder.empty() || error) {
    failure = "cannot make weston's runtime folder";
    return std::nullopt;
  }
  const std::filesystem::path config = folder / "weston.ini";
  std::ofstream(config) << "[core]\nxwayland=true\n[shell]\npanel-position=none\n";
  const std::filesystem::path log = folder / (std::string(kind.name) + ".log");
  process_setup setup;
  setup.command = {"weston",
                   "--config=" + config.string(),
                   "--backend=headless-backend.so",
                   "--use-pixman",
                   "--width=" + std::to_string(kind.width),
                   "--height=" + std::to_string(kind.height),
                   "--socket=quorvan-e2e",
                   "--log=" + log.string()};
  setup.environment = {"XDG_RUNTIME_DIR=" + runtime.string()};
  setup.error_file = folder / (std::string(kind.name) + ".stderr");
  weston_run run;
  run.runtime_folder = runtime;
  try {
    run.process = start_process(setup);
  } catch (const std::exception& error) {
    failure = error.what();
    return std::nullopt;
  }
  const std::optional<std::string> display = xwayland_display(log, run.process);
  if (!display) {
    failure = "weston did not start Xwayland; see " + log.string();
    kill_process(run.process);
    return std::nullopt;
  }
  run.server = {.display = *display, .wayland_log = log.string()};
  const desktop_server server = run.server;
  westons.emplace(kind.name, std::move(run));
  return server;
}

}  // namespace

monitor_area desktop_kind::show_monitor() const {
  return {.x = width * (monitors - 1), .y = 0, .width = width, .height = height};
}

std::optional<desktop_server> desktop_of(const desktop_kind& kind, std::string& failure) {
  return kind.wayland ? weston_desktop(kind, failure) : xorg_desktop(kind, failure);
}

void on_desktop::SetUp() {
  std::string failure;
  const std::optional<desktop_server> started = desktop_of(GetParam(), failure);
  if (started) {
    server = *started;
    return;
  }
  if (running_under_ci()) FAIL() << "No " << GetParam().name << " desktop: " << failure;
  GTEST_SKIP() << "No " << GetParam().name << " desktop: " << failure;
}

std::string desktop_layout(const std::string& display) {
  std::string layout;
  for (const auto& command :
       {std::vector<std::string>{"xvidtune", "-show"}, std::vector<std::string>{"xrandr", "--query"}}) {
    const program_run tool = run_tool(command, display);
    layout += tool.exited_with(0) ? tool.output : command[0] + " failed\n";
  }
  return layout;
}

bool first_xwayland_still_runs(const desktop_server& server, std::string& why_not) {
  const std::string log = read_file(server.wayland_log);
  const std::regex spawned("Spawned Xwayland server, pid ([0-9]+)");
  const auto first = std::sregex_iterator(log.begin(), log.end(), spawned);
  const auto count = std::distance(first, std::sregex_iterator());
  if (count != 1) {
    why_not = "weston spawned Xwayland " + std::to_string(count) + " times";
    return false;
  }
  const pid_t pid = pid_t(std::stol((*first)[1].str()));
  if (kill(pid, 0) != 0) {
    why_not = "Xwayland (pid " + std::to_string(pid) + ") has gone";
    return false;
  }
  return run_tool({"xrandr", "--query"}, server.display).exited_with(0) ||
         (why_not = "Xwayland does not answer", false);
}
