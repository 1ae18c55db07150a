#include "PrivateBus.h"

#include "TempDir.h"

#include <cstdlib>
#include <regex>

PrivateBus::PrivateBus(const std::string& configurationFile, const char* variable)
    : m_daemon({"/usr/bin/dbus-daemon", "--config-file=" + configurationFile, "--nofork", "--print-address"})
{
    std::string address;
    m_started = m_daemon.ReadLine(address);
    if (m_started)
        ::setenv(variable, address.c_str(), 1);
}

std::string SystemBusConfiguration(const std::string& socket)
{
    std::string config = ReadFile("/usr/share/dbus-1/system.conf");
    config =
        std::regex_replace(config, std::regex("<listen>[^<]*</listen>"), "<listen>unix:path=" + socket + "</listen>");
    config = std::regex_replace(config, std::regex("<(fork|syslog|standard_system_servicedirs)/>"), "");
    config = std::regex_replace(config, std::regex("<(user|pidfile|servicehelper)>[^<]*</\\w+>"), "");
    return std::regex_replace(config, std::regex("<includedir>system.d</includedir>"),
                              "<includedir>/usr/share/dbus-1/system.d</includedir>");
}

std::string SessionBusConfiguration(const std::string& socket)
{
    return "<busconfig><type>session</type><listen>unix:path=" + socket +
           "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow send_destination=\"*\" "
           "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>";
}
