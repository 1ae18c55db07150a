#pragma once

#include <string>
#include <vector>

// The ids of NetworkManager's connections that a login applies to (types vpn, gsm, cdma and
// pppoe), read from its settings service on the D-Bus system bus (DBUS_SYSTEM_BUS_ADDRESS, if
// set, names the bus). None when there is no system bus or NetworkManager does not run: that is
// found out before any call to it, and it is never started for this. Each call waits at most a
// second. Works with or without a QCoreApplication.
std::vector<std::string> NetworkManagerConnectionNames();
