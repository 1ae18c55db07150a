#pragma once

#include <string>
#include <vector>

// A network namespace of the test's own, named after the test process, with its loopback up.
// When it goes, every process still in it is killed by its process id, then it is deleted; one
// left behind by an earlier test process that was killed is deleted when the next one is made.
class NetworkNamespace {
public:
    NetworkNamespace();
    ~NetworkNamespace();
    NetworkNamespace(const NetworkNamespace&) = delete;
    NetworkNamespace& operator=(const NetworkNamespace&) = delete;

    // False without root or `ip netns`.
    bool Made() const { return m_made; }
    const std::string& Name() const { return m_name; }
    // `command` run inside the namespace.
    std::vector<std::string> Inside(const std::vector<std::string>& command) const;

private:
    bool KillAll() const;

    std::string m_name;
    bool m_added = false;
    bool m_made = false;
};
