#include "OpenVpnServer.h"

#include "VpnLogin.h"

#include <NetworkNamespace.h>
#include <TempDir.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sys/stat.h>
#include <thread>

OpenVpnServer::OpenVpnServer(const NetworkNamespace& ns, const std::string& directory)
    : m_namespace(ns), m_directory(directory)
{
}

void OpenVpnServer::Start(const std::string& pin)
{
    std::filesystem::create_directory(m_directory);
    ::chmod(m_directory.c_str(), 0700);
    ASSERT_NO_FATAL_FAILURE(MakeCertificates());
    WriteCheck(pin);
    const std::string log = m_directory + "/server.log";
    WriteFile(m_directory + "/server.conf",
              "mode server\ntls-server\ndev tun0\ntopology subnet\nifconfig 10.89.0.1 255.255.255.0\n"
              "ifconfig-pool 10.89.0.2 10.89.0.9\npush \"topology subnet\"\nlocal 127.0.0.1\nproto udp\n"
              "port 1194\nca ca.crt\ncert server.crt\nkey server.key\ndh none\nverify-client-cert none\n"
              "username-as-common-name\nscript-security 2\nauth-user-pass-verify ./check via-file\nverb 3\n");
    m_process = std::make_unique<ChildProcess>(m_namespace.Inside(
        {"/usr/sbin/openvpn", "--cd", m_directory, "--config", "server.conf", "--tmp-dir", m_directory, "--log", log}));
    for (int wait = 0; wait < 200 && ReadFile(log).find("Initialization Sequence Completed") == std::string::npos;
         ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_NE(std::string::npos, ReadFile(log).find("Initialization Sequence Completed")) << ReadFile(log);
}

int OpenVpnServer::Tries() const
{
    const std::string tries = ReadFile(m_directory + "/tries");
    return static_cast<int>(std::count(tries.begin(), tries.end(), '\n'));
}

double OpenVpnServer::AcceptedAt() const
{
    const std::string accepted = ReadFile(m_directory + "/accepted");
    return accepted.empty() ? 0 : std::stod(accepted);
}

void OpenVpnServer::Remove()
{
    m_process.reset();
    std::filesystem::remove_all(m_directory);
}

void OpenVpnServer::MakeCertificates()
{
    const std::string commands = "set -e; cd \"$0\"; exec 2>/dev/null\n"
                                 "ec='-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes'\n"
                                 "openssl req -x509 $ec -keyout ca.key -out ca.crt -days 1 -subj /CN=test-ca\n"
                                 "openssl req $ec -keyout server.key -out server.csr -subj /CN=server\n"
                                 "printf 'basicConstraints=CA:FALSE\\nkeyUsage=digitalSignature\\n"
                                 "extendedKeyUsage=serverAuth\\n' >server.ext\n"
                                 "openssl x509 -req -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial "
                                 "-out server.crt -days 1 -extfile server.ext\n";
    ASSERT_EQ(0, RunToEnd({"/bin/sh", "-c", commands, m_directory}));
}

// The check notes each try, and the time it accepted one.
void OpenVpnServer::WriteCheck(const std::string& pin)
{
    WriteFile(m_directory + "/seed", std::string(kSeed) + "\n");
    WriteFile(m_directory + "/pin", pin + "\n");
    WriteFile(m_directory + "/check",
              "#!/bin/sh\n"
              "cd \"$(dirname \"$0\")\"\n"
              "{ read -r user; read -r password; } <\"$1\"\n"
              "echo try >>tries\n"
              "read -r pin <pin\n"
              "[ \"$user\" = ann ] || exit 1\n"
              "now=$(date +%s)\n"
              "for code in $(oathtool --totp --time-step-size=60s --base32 -w1 --now=@$((now - 60)) - <seed); do\n"
              "    [ \"$password\" = \"$pin$code\" ] && date +%s.%N >accepted && exit 0\n"
              "done\n"
              "exit 1\n");
    ::chmod((m_directory + "/check").c_str(), 0700);
}
