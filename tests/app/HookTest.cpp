// The hooks that tell Trevalo a connection is up, run as pppd and OpenVPN run them: with a clean
// environment, as root or as the user, for a Trevalo that an ordinary user (the real user nobody)
// runs in the middle of a login. They must reach it from the uid alone, whatever that Trevalo's
// own XDG_RUNTIME_DIR says.
#include <profiles/AppSettings.h>
#include <profiles/ConnectionProfile.h>

#include "UserNobody.h"
#include <ChildProcess.h>
#include <Reachable.h>
#include <TempDir.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string kUserText = "ogin: ann\nassword: \\q#$PASSCODE#$\n";

struct Hook {
    const char* name;
    bool asRoot;                    // run as root, else as the user nobody
    std::vector<std::string> words; // the command line after `env -i PATH=...`
    const char* logged;             // the start of its entry in the system log when Trevalo does not answer
};

void PrintTo(const Hook& hook, std::ostream* out)
{
    *out << hook.name;
}

// pppd runs its hooks as root, itself running with the real uid of the user who dialled.
const Hook kPppIpUp{"PppIpUp",
                    true,
                    {"PPPLOGNAME=nobody", "IFNAME=ppp0", "IPLOCAL=10.64.64.64", "IPREMOTE=10.112.112.112",
                     "DEVICE=/dev/ttyS0", "SPEED=115200", "LINKNAME=myisp", "PPPD_PID=4242", PPPD_STAND_IN, "nobody",
                     IP_UP_HOOK, "ppp0", "/dev/ttyS0", "115200", "10.64.64.64", "10.112.112.112", ""},
                    "ip-up: could not tell Trevalo of user nobody that ppp0 is up"};
// Root dialled, and set PPPLOGNAME (pppd's `set` option) to name nobody.
const Hook kPppIpUpForAnother{"PppIpUpForAnother",
                              true,
                              {"PPPLOGNAME=nobody", "IFNAME=ppp0", PPPD_STAND_IN, "root", IP_UP_HOOK, "ppp0",
                               "/dev/ttyS0", "115200", "10.64.64.64", "10.112.112.112", ""},
                              "ip-up: pppd runs for user root, not for nobody as its environment says: nobody is "
                              "told that ppp0 is up"};
// OpenVPN's words after the hook's own: device, MTUs, addresses, and why it runs.
const Hook kOpenVpnUpAsRoot{"OpenVpnUpAsRoot",
                            true,
                            {"dev=tun0", "script_type=up", "daemon_pid=4242", OPENVPN_UP_HOOK, "nobody", "tun0", "1500",
                             "0", "10.89.0.2", "255.255.255.0", "init"},
                            "openvpn up: could not tell Trevalo of user nobody that tun0 is up"};
const Hook kOpenVpnUpAsUser{"OpenVpnUpAsUser",
                            false,
                            {"dev=tun0", "script_type=up", "daemon_pid=4242", OPENVPN_UP_HOOK, "tun0", "1500", "0",
                             "10.89.0.2", "255.255.255.0", "init"},
                            "openvpn up: could not tell Trevalo of user nobody that tun0 is up"};

class HookTest : public ::testing::TestWithParam<std::tuple<Hook, bool>> {
protected:
    void SetUp() override
    {
        if (!nobody.Usable())
            GTEST_SKIP() << "needs root and the user nobody";
        ::unsetenv("TREVALO_RUNTIME_DIR");
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        // The user's session may keep its runtime directory elsewhere: the channel does not care.
        const bool sessionDirectory = std::get<1>(GetParam());
        ::setenv("XDG_RUNTIME_DIR",
                 sessionDirectory ? nobody.RunUserDirectory().c_str() : dir.File("elsewhere").c_str(), 1);
        WriteFile(dir.File("peers/isp"), "# pppd options\n");
        fs::create_directory(dir.File("scripts"));
        fs::create_directory(dir.File("log"));
        WriteFile(script, kUserText);
        WriteFile(dir.File("dialer"), "#!/bin/sh\nwhile [ ! -e '" + dir.File("go") + "' ] && [ -d '" + dir.Path() +
                                          "' ]; do sleep 0.01; done\n");
        ::chmod(dir.File("dialer").c_str(), 0755);
        ConnectionProfile profile("Work");
        profile.DUNPhonebookEntry = "isp";
        profile.ScriptPath = script;
        profile.LoginAppPath = dir.File("dialer");
        profile.TokenSerialNumber = "T1";
        ASSERT_TRUE(profile.Save());
        CAppSettings::SaveDefaultProfile("Work");
        WriteFile(dir.File("seed"), "JBSWY3DPEHPK3PXPJBSWY3DP\n");
        nobody.TakeOver(dir.Path());
        ASSERT_TRUE(nobody.ImportToken(dir.File("seed")));
    }

    void TearDown() override { WriteFile(dir.File("go"), ""); }

    // Runs the hook as its caller does: its arguments and nothing of the caller's environment.
    int RunHook(const std::string& path)
    {
        const Hook& hook = std::get<0>(GetParam());
        std::vector<std::string> command{"/usr/bin/env", "-i", "PATH=" + path};
        for (const std::string& word : hook.words)
            command.push_back(Reachable(word)); // the hooks and pppd where nobody may start them
        ChildProcess run(command, hook.asRoot ? 0 : nobody.Uid());
        return run.Wait();
    }

    // The system log cannot be read here: a logger of the test's, first on the hook's PATH, stands
    // in for it, and what it was given is in the file it returns.
    std::string StandInLogger()
    {
        WriteFile(dir.File("log/logger"), "#!/bin/sh\nprintf '%s\\n' \"$*\" >'" + dir.File("log/logged") + "'\n");
        ::chmod(dir.File("log/logger").c_str(), 0755);
        return dir.File("log/logged");
    }

    // Starts nobody's Trevalo in the middle of a run.
    void Connect(ChildProcess& trevalo)
    {
        std::string line;
        ASSERT_TRUE(trevalo.ReadLine(line));
        ASSERT_EQ("connected", line);
        ASSERT_NE(kUserText, ReadFile(script));
    }

    static constexpr const char* kHookPath = "/usr/local/sbin:/usr/sbin:/usr/bin:/sbin:/bin";

    TempDir dir;
    UserNobody nobody;
    std::string script = dir.File("scripts/login.scp");
};

} // namespace

TEST_P(HookTest, TellsTheUsersTrevaloAndTheScriptComesBack)
{
    ChildProcess trevalo({CONNECTING_TREVALO}, nobody.Uid());
    ASSERT_NO_FATAL_FAILURE(Connect(trevalo));
    EXPECT_EQ(0, RunHook(kHookPath));
    // Notification 0 ends the run like Cancel, and the program with it; a hook that did not
    // reach it leaves it running.
    for (int wait = 0; wait < 200 && ReadFile(script) != kUserText; ++wait)
        ::usleep(50000);
    if (ReadFile(script) != kUserText)
        trevalo.Kill();
    EXPECT_EQ(0, trevalo.Wait());
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_FALSE(PathExists(dir.File("scripts/LOGIN.BAK")));
}

TEST_P(HookTest, ATrevaloThatDoesNotAnswerGoesToTheSystemLog)
{
    const std::string logged = StandInLogger();
    ChildProcess trevalo({CONNECTING_TREVALO}, nobody.Uid());
    ASSERT_NO_FATAL_FAILURE(Connect(trevalo));
    trevalo.Signal(SIGSTOP);
    EXPECT_EQ(0, RunHook(dir.File("log") + ":" + kHookPath));
    trevalo.Signal(SIGCONT);
    EXPECT_EQ(0u, ReadFile(logged).find(std::string("-t trevalo -- ") + std::get<0>(GetParam()).logged +
                                        " (status 4): trevalo-notify: the Trevalo running for this user did not "
                                        "answer"))
        << ReadFile(logged);
    // Without a Trevalo for that user there is nothing to tell, and nothing to log.
    trevalo.Kill();
    trevalo.Wait();
    fs::remove(logged);
    EXPECT_EQ(0, RunHook(dir.File("log") + ":" + kHookPath));
    EXPECT_FALSE(PathExists(logged));
}

// As root without a user, OpenVPN's hook cannot know whose Trevalo to tell: it says how to name one.
TEST(OpenVpnUpHookTest, RunAsRootWithoutAUserSaysSoInTheSystemLog)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root";
    TempDir dir;
    WriteFile(dir.File("logger"), "#!/bin/sh\nprintf '%s\\n' \"$*\" >'" + dir.File("logged") + "'\n");
    ::chmod(dir.File("logger").c_str(), 0755);
    ChildProcess hook({"/usr/bin/env", "-i", "PATH=" + dir.Path() + ":/usr/sbin:/usr/bin:/sbin:/bin", "dev=tun0",
                       OPENVPN_UP_HOOK, "tun0", "1500", "0", "10.89.0.2", "255.255.255.0", "init"});
    EXPECT_EQ(0, hook.Wait());
    EXPECT_EQ("-t trevalo -- openvpn up: run as root, and \"tun0\" is no user to tell: give the hook as --up \"HOOK "
              "USER\"\n",
              ReadFile(dir.File("logged")));
}

// Whoever may dial can set PPPLOGNAME: the hook believes pppd's real uid, and tells nobody else.
class ForeignDiallerTest : public HookTest {};

TEST_P(ForeignDiallerTest, LeavesTheRunAloneAndSaysWhy)
{
    const std::string logged = StandInLogger();
    ChildProcess trevalo({CONNECTING_TREVALO}, nobody.Uid());
    ASSERT_NO_FATAL_FAILURE(Connect(trevalo));
    EXPECT_EQ(0, RunHook(dir.File("log") + ":" + kHookPath));
    EXPECT_EQ(std::string("-t trevalo -- ") + std::get<0>(GetParam()).logged + "\n", ReadFile(logged));
    ::usleep(300000);
    EXPECT_NE(kUserText, ReadFile(script)) << "the run was ended";
}

// Debian's /etc/ppp/peers is for root and the group dip: to a user outside it, the peers are
// missing, and Trevalo says why once its window is up.
class UnreadablePeersTest : public HookTest {};

TEST_P(UnreadablePeersTest, AreReportedWithTheFolder)
{
    const std::string peers = dir.File("peers");
    ASSERT_EQ(0, ::chown(peers.c_str(), 0, 0));
    ::chmod(peers.c_str(), 0750);
    ChildProcess trevalo({CONNECTING_TREVALO}, nobody.Uid());
    std::string said;
    for (std::string line; !line.ends_with("connected") && trevalo.ReadLine(line);)
        said += line + "\n";
    EXPECT_NE(std::string::npos, said.find("\nmessage: Trevalo cannot read the folder " + peers +
                                           " (Permission denied), so the connections in it are missing from the "
                                           "phonebook.|"))
        << said;
}

INSTANTIATE_TEST_SUITE_P(PppIpUp, UnreadablePeersTest,
                         ::testing::Combine(::testing::Values(kPppIpUp), ::testing::Values(true)));

INSTANTIATE_TEST_SUITE_P(PppIpUp, ForeignDiallerTest,
                         ::testing::Combine(::testing::Values(kPppIpUpForAnother), ::testing::Values(true)));

INSTANTIATE_TEST_SUITE_P(HooksAndRuntimeDirectories, HookTest,
                         ::testing::Combine(::testing::Values(kPppIpUp, kOpenVpnUpAsRoot, kOpenVpnUpAsUser),
                                            ::testing::Bool()),
                         [](const auto& test) {
                             return std::string(std::get<0>(test.param).name) +
                                    (std::get<1>(test.param) ? "SessionRuntimeDirectory" : "OtherRuntimeDirectory");
                         });
