#pragma once

#include <ChildProcess.h>

#include <memory>
#include <string>

class NetworkNamespace;

// A real OpenVPN server on 127.0.0.1, UDP port 1194, in the given network namespace, for logins
// with a password alone (no client certificate). It accepts the user "ann" with the PIN followed
// by the code of the current or the previous 60-second step of kSeed, checked with oathtool,
// not with Trevalo's token library. Its directory is root's alone.
class OpenVpnServer {
public:
    OpenVpnServer(const NetworkNamespace& ns, const std::string& directory);

    // Makes a throwaway certificate authority and the server's certificate, starts the server
    // with `pin` as the PIN it expects, and waits until it serves.
    void Start(const std::string& pin);
    std::string CaCertificate() const { return m_directory + "/ca.crt"; }
    // The logins it was asked for, and when it accepted one (0 when it did not).
    int Tries() const;
    double AcceptedAt() const;
    // Removes its directory, secrets and all.
    void Remove();

private:
    void MakeCertificates();
    void WriteCheck(const std::string& pin);

    const NetworkNamespace& m_namespace;
    std::string m_directory;
    std::unique_ptr<ChildProcess> m_process;
};
