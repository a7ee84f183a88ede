// session_bus.h: keeps the show's libraries from starting a D-Bus session bus
// of their own where the desktop runs none.
#pragma once

// Where no session bus is known (DBUS_SESSION_BUS_ADDRESS unset, no
// $XDG_RUNTIME_DIR/bus), the D-Bus library would launch a bus daemon that
// outlives the show; this tells it there is none to use instead. Call before
// the sound layer starts.
void do_without_a_session_bus_where_none_runs();
