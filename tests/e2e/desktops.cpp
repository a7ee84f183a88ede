// desktops.cpp: writes an Xorg configuration for each kind of desktop, lays out
// two monitors with xrandr, starts openbox on Xorg, and weston and sway with
// Xwayland on private sockets.
#include "tests/e2e/desktops.h"

#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "tests/e2e/show_run.h"
#include "tests/e2e/x_server.h"
#include "tests/e2e/x_server_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/file_bytes.h"

namespace {

constexpr auto tool_limit = std::chrono::seconds(10);
constexpr auto desktop_start_limit = std::chrono::seconds(30);
constexpr auto desktop_stop_grace = std::chrono::seconds(5);

// Standard timings at 60 Hz for the sizes the bench uses.
const std::map<std::string, std::string> modelines{
    {"640x480", "25.175 640 656 752 800 480 490 492 525 -hsync -vsync"},
    {"1024x768", "65.0 1024 1048 1184 1344 768 771 777 806 -hsync -vsync"},
    {"1920x1080", "148.5 1920 2008 2052 2200 1080 1084 1089 1125 +hsync +vsync"},
    {"2560x1080", "230.0 2560 2720 2992 3424 1080 1083 1093 1120 -hsync +vsync"},
};

std::string size_name(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

std::filesystem::path log_file(const desktop_kind& kind, const std::string& suffix) {
  return bench_log_folder() / (kind.name + suffix);
}

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

// A desktop's servers: Xorg, with a window manager or not, or a compositor
// with its own Xwayland.
struct desktop_run {
  std::optional<x_server> xorg{};
  child_process process{};  // the window manager or the compositor
  desktop_server server{};
  std::filesystem::path runtime_folder{};  // a compositor's
};

// One per kind, stopped after the last test.
std::map<std::string, desktop_run> desktop_runs;

// Starts one of a desktop's processes and polls until it is ready; why not if
// it cannot start, or not_ready if it ends or the time is up first.
std::string start_until_ready(const process_setup& setup, child_process& process, auto&& ready,
                              const std::string& not_ready) {
  try {
    process = start_process(setup);
  } catch (const std::exception& error) {
    return error.what();
  }
  const auto ready_or_ended = [&] { return ready() || has_ended(process); };
  if (poll_until(ready_or_ended, desktop_start_limit) && !has_ended(process)) return "";
  kill_process(process);
  return not_ready;
}

// A compositor's runtime folder, its own and its user's alone, as compositors want.
std::filesystem::path runtime_folder(const std::string& compositor, const desktop_kind& kind, std::string& failure) {
  const std::filesystem::path folder = bench_log_folder();
  const std::filesystem::path runtime = folder / (compositor + "-runtime-" + kind.name);
  std::error_code error;
  std::filesystem::create_directory(runtime, error);
  std::filesystem::permissions(runtime, std::filesystem::perms::owner_all, error);
  if (!folder.empty() && !error) return runtime;
  failure = "cannot make " + compositor + "'s runtime folder";
  return {};
}

// openbox on the display, once it has said it manages the screen; why not, if it does not.
std::string start_openbox(const desktop_kind& kind, desktop_run& run) {
  const process_setup setup{.command = {"openbox", "--sm-disable"},
                            .environment = {"DISPLAY=" + run.server.display},
                            .error_file = log_file(kind, ".openbox.log")};
  const auto manages = [&] { return run_tool({"wmctrl", "-m"}, run.server.display).exited_with(0); };
  return start_until_ready(setup, run.process, manages, "openbox did not start; see " + setup.error_file.string());
}

std::optional<desktop_run> xorg_desktop(const desktop_kind& kind, std::string& failure) {
  const std::filesystem::path config = bench_log_folder() / (std::string("xorg-") + kind.name + ".conf");
  std::ofstream(config) << xorg_config(kind);
  x_server_start start = start_x_server(config, log_file(kind, ".log"), desktop_start_limit);
  failure = std::move(start.failure);
  if (!start.server) return std::nullopt;
  desktop_run run{.server = {.display = start.server->display}};
  run.xorg = std::move(start.server);
  if (kind.monitors == 2 && !lay_out_two_monitors(kind, run.server.display))
    failure = "xrandr could not lay out two monitors";
  else if (kind.session == desktop_session::openbox)
    failure = start_openbox(kind, run);
  if (!failure.empty()) {
    stop_x_server(*run.xorg);  // so that it removes its socket and lock file
    return std::nullopt;
  }
  return run;
}

// weston headless, drawn in software; its log tells the X display of its Xwayland.
std::optional<desktop_run> weston_desktop(const desktop_kind& kind, std::string& failure) {
  desktop_run run{.runtime_folder = runtime_folder("weston", kind, failure)};
  if (run.runtime_folder.empty()) return std::nullopt;
  const std::filesystem::path config = bench_log_folder() / "weston.ini";
  std::ofstream(config) << "[core]\nxwayland=true\n[shell]\npanel-position=none\n";
  const std::filesystem::path log = log_file(kind, ".log");
  const process_setup setup{
      .command = {"weston", "--config=" + config.string(), "--backend=headless-backend.so", "--use-pixman",
                  "--width=" + std::to_string(kind.width), "--height=" + std::to_string(kind.height),
                  "--socket=quorvan-e2e", "--log=" + log.string()},
      .environment = {"XDG_RUNTIME_DIR=" + run.runtime_folder.string()},
      .error_file = log_file(kind, ".stderr")};
  const std::regex listening("xserver listening on display (:[0-9]+)");
  std::string text;
  std::smatch found;
  const auto listens = [&] {
    text = read_file(log);
    return std::regex_search(text, found, listening);
  };
  failure = start_until_ready(setup, run.process, listens, "weston did not start Xwayland; see " + log.string());
  if (!failure.empty()) return std::nullopt;
  run.server = {.display = found[1].str(), .wayland_log = log.string(), .wayland_environment = {}};
  return run;
}

// sway refuses to run as root: as root the bench runs it as nobody, whose
// runtime folder it then is.
std::vector<std::string> as_unprivileged_user(std::vector<std::string> command,
                                              const std::filesystem::path& runtime_folder) {
  if (getuid() != 0) return command;
  constexpr uid_t nobody = 65534;
  // nobody passes through the bench's folder to its own, and reads nothing else there.
  std::error_code error;
  std::filesystem::permissions(runtime_folder.parent_path(), std::filesystem::perms::others_exec,
                               std::filesystem::perm_options::add, error);
  if (error || chown(runtime_folder.c_str(), nobody, nobody) != 0) return command;
  command.insert(command.begin(), {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
  return command;
}

// sway on wlroots' headless backend, drawn in software, with its Xwayland
// started at once; it lets the bench's user into Xwayland, then writes the X
// and Wayland displays it offers to a file.
std::optional<desktop_run> sway_desktop(const desktop_kind& kind, std::string& failure) {
  desktop_run run{.runtime_folder = runtime_folder("sway", kind, failure)};
  const std::string runtime = run.runtime_folder.string();
  if (runtime.empty()) return std::nullopt;
  const std::string displays = runtime + "/displays";
  const std::string config = runtime + "/sway.conf";
  std::ofstream(config) << "xwayland force\n"
                        << "output HEADLESS-1 resolution " << size_name(kind.width, kind.height) << " position 0 0\n"
                        << "default_border none\n"
                        << "gaps outer 16\n"
                        << "exec sh -c 'xhost +si:localuser:" << (getuid() == 0 ? "root" : "$USER")
                        << "; echo $DISPLAY $WAYLAND_DISPLAY > " << displays << "'\n";
  const process_setup setup{.command = as_unprivileged_user({"sway", "--config", config}, runtime),
                            .environment = {"XDG_RUNTIME_DIR=" + runtime, "WLR_BACKENDS=headless",
                                            "WLR_LIBINPUT_NO_DEVICES=1", "WLR_RENDERER=pixman", "HOME=" + runtime},
                            .error_file = log_file(kind, ".stderr")};
  std::string x_display, wayland_display;
  const auto offered = [&] {
    std::istringstream(read_file(displays)) >> x_display >> wayland_display;
    return !wayland_display.empty();
  };
  failure =
      start_until_ready(setup, run.process, offered, "sway did not start Xwayland; see " + setup.error_file.string());
  if (!failure.empty()) return std::nullopt;
  run.server = {.display = x_display,
                .wayland_environment = {"XDG_RUNTIME_DIR=" + runtime, "WAYLAND_DISPLAY=" + wayland_display}};
  return run;
}

}  // namespace

std::optional<desktop_server> desktop_of(const desktop_kind& kind, std::string& failure) {
  if (auto found = desktop_runs.find(kind.name); found != desktop_runs.end()) return found->second.server;
  std::optional<desktop_run> started = kind.session == desktop_session::weston ? weston_desktop(kind, failure)
                                       : kind.session == desktop_session::sway ? sway_desktop(kind, failure)
                                                                               : xorg_desktop(kind, failure);
  if (!started) return std::nullopt;
  return desktop_runs.emplace(kind.name, std::move(*started)).first->second.server;
}

void stop_desktops() {
  for (auto& [name, run] : desktop_runs) {
    stop_process(run.process, desktop_stop_grace);
    if (run.xorg) stop_x_server(*run.xorg);
    std::error_code ignored;
    if (!run.runtime_folder.empty()) std::filesystem::remove_all(run.runtime_folder, ignored);
  }
  desktop_runs.clear();
}

std::string desktop_layout(const std::string& display) {
  std::string layout;
  const std::vector<std::string> commands[] = {{"xvidtune", "-show"}, {"xrandr", "--query"}};
  for (const std::vector<std::string>& command : commands) {
    const program_run tool = run_tool(command, display);
    layout += tool.exited_with(0) ? tool.output : command[0] + " failed\n";
  }
  return layout;
}

std::string why_first_xwayland_is_not_running(const desktop_server& server) {
  const std::string log = read_file(server.wayland_log);
  const std::regex spawned("Spawned Xwayland server, pid ([0-9]+)");
  const auto first = std::sregex_iterator(log.begin(), log.end(), spawned);
  const auto count = std::distance(first, std::sregex_iterator());
  if (count != 1) return "weston spawned Xwayland " + std::to_string(count) + " times";
  const pid_t pid = pid_t(std::stol((*first)[1].str()));
  if (kill(pid, 0) != 0) return "Xwayland (pid " + std::to_string(pid) + ") has gone";
  return run_tool({"xrandr", "--query"}, server.display).exited_with(0) ? "" : "Xwayland does not answer";
}
