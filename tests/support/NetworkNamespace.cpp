#include "NetworkNamespace.h"

#include "ChildProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

constexpr const char* kIp = "/usr/sbin/ip";
const std::string kPrefix = "trevalo-test-";

void DeleteThoseOfEndedTests()
{
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator("/run/netns", ignored)) {
        const std::string name = entry.path().filename();
        if (!name.starts_with(kPrefix))
            continue;
        const pid_t owner = std::atoi(name.c_str() + kPrefix.size());
        if (owner > 0 && ::kill(owner, 0) != 0 && errno == ESRCH)
            RunToEnd({kIp, "netns", "delete", name});
    }
}

} // namespace

NetworkNamespace::NetworkNamespace() : m_name(kPrefix + std::to_string(::getpid()))
{
    DeleteThoseOfEndedTests();
    m_added = RunToEnd({kIp, "netns", "add", m_name}) == 0;
    m_made = m_added && RunToEnd({kIp, "-n", m_name, "link", "set", "lo", "up"}) == 0;
}

NetworkNamespace::~NetworkNamespace()
{
    if (!m_added)
        return; // a namespace of that name, if any, is not this one's
    for (int attempt = 0; attempt < 100 && KillAll(); ++attempt)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    RunToEnd({kIp, "netns", "delete", m_name});
}

std::vector<std::string> NetworkNamespace::Inside(const std::vector<std::string>& command) const
{
    std::vector<std::string> words{kIp, "netns", "exec", m_name};
    words.insert(words.end(), command.begin(), command.end());
    return words;
}

// Sends SIGKILL to every process left in the namespace; false when there was none.
bool NetworkNamespace::KillAll() const
{
    std::string pids;
    RunToEnd({kIp, "netns", "pids", m_name}, &pids);
    std::istringstream list(pids);
    bool any = false;
    for (pid_t pid; list >> pid; any = true)
        ::kill(pid, SIGKILL);
    return any;
}
