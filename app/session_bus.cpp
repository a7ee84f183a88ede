// session_bus.cpp: on a bare X session, no bus daemon for the show.
#include "app/session_bus.h"

#include <cstdlib>
#include <filesystem>

void do_without_a_session_bus_where_none_runs() {
  if (std::getenv("DBUS_SESSION_BUS_ADDRESS") != nullptr) return;
  const char* runtime_folder = std::getenv("XDG_RUNTIME_DIR");
  std::error_code error;
  if (runtime_folder != nullptr && std::filesystem::exists(std::filesystem::path(runtime_folder) / "bus", error))
    return;
  // An address of no known kind: a library asking for the session bus is told
  // there is none, and nothing is started or connected to.
  setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 0);
}
