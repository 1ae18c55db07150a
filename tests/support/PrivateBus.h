#pragma once

#include "ChildProcess.h"

#include <string>

// A dbus-daemon of the test's own, run on the configuration in `configurationFile`; its address
// then goes into `variable` (DBUS_SYSTEM_BUS_ADDRESS or DBUS_SESSION_BUS_ADDRESS). It ends with
// the object.
class PrivateBus {
public:
    PrivateBus(const std::string& configurationFile, const char* variable);
    bool Started() const { return m_started; }

private:
    ChildProcess m_daemon;
    bool m_started = false;
};

// Configurations that listen at `socket`, stay in the foreground as the user who starts them and
// start no services: a copy of the machine's system bus, or a session bus where everyone may talk
// to everyone.
std::string SystemBusConfiguration(const std::string& socket);
std::string SessionBusConfiguration(const std::string& socket);
