// The ip-up hook as pppd runs it: as root, with pppd's clean environment, for a Trevalo that an
// ordinary user (the real user nobody) runs in the middle of a login. The hook must reach it
// from the uid alone, whatever that Trevalo's own XDG_RUNTIME_DIR says.
#include <profiles/AppSettings.h>
#include <profiles/ConnectionProfile.h>

#include <ChildProcess.h>
#include <TempDir.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string kUserText = "ogin: ann\nassword: \\q#$PASSCODE#$\n";

class IpUpHookTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        nobody = ::getpwnam("nobody");
        if (::geteuid() != 0 || !nobody)
            GTEST_SKIP() << "needs root and the user nobody";
        uid = std::to_string(nobody->pw_uid);
        PrepareRunUserDirectory();
        ::unsetenv("TREVALO_RUNTIME_DIR");
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        // The user's session may keep its runtime directory elsewhere: the channel does not care.
        ::setenv("XDG_RUNTIME_DIR", GetParam() ? runUser.c_str() : dir.File("elsewhere").c_str(), 1);
        WriteFile(dir.File("peers/isp"), "# pppd options\n");
        fs::create_directory(dir.File("scripts"));
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
        // Everything below the test's directory is the user's.
        ::chmod(dir.Path().c_str(), 0755);
        for (const auto& entry : fs::recursive_directory_iterator(dir.Path()))
            ASSERT_EQ(0, ::lchown(entry.path().c_str(), nobody->pw_uid, nobody->pw_gid));
        ChildProcess import({"/bin/sh", "-c", "exec \"$0\" import --user ann T1 <\"$1\"", KELVANE_TOKEN, dir.File("seed")},
                            nobody->pw_uid);
        ASSERT_EQ(0, import.Wait());
    }

    void TearDown() override
    {
        WriteFile(dir.File("go"), "");
        if (madeRunUser)
            fs::remove_all(runUser);
    }

    // /run/user/UID as a desktop session has it: the user's, mode 0700.
    void PrepareRunUserDirectory()
    {
        runUser = "/run/user/" + uid;
        if (fs::exists(runUser))
            return;
        fs::create_directories("/run/user");
        fs::create_directory(runUser);
        ASSERT_EQ(0, ::chown(runUser.c_str(), nobody->pw_uid, nobody->pw_gid));
        ::chmod(runUser.c_str(), 0700);
        madeRunUser = true;
    }

    // Runs the hook as pppd does: as root, its arguments and nothing of the caller's environment.
    int RunHook(const std::string& path)
    {
        ChildProcess hook({"/usr/bin/env", "-i", "PATH=" + path, "PPPLOGNAME=nobody", "IFNAME=ppp0",
                           "IPLOCAL=10.64.64.64", "IPREMOTE=10.112.112.112", "DEVICE=/dev/ttyS0", "SPEED=115200",
                           "LINKNAME=myisp", "PPPD_PID=4242", IP_UP_HOOK, "ppp0", "/dev/ttyS0", "115200",
                           "10.64.64.64", "10.112.112.112", ""});
        return hook.Wait();
    }

    static constexpr const char* kPppdPath = "/usr/local/sbin:/usr/sbin:/usr/bin:/sbin:/bin";

    TempDir dir;
    const passwd* nobody = nullptr;
    std::string uid;
    std::string runUser;
    bool madeRunUser = false;
    std::string script = dir.File("scripts/login.scp");
};

} // namespace

TEST_P(IpUpHookTest, TellsTheUsersTrevaloAndTheScriptComesBack)
{
    ChildProcess trevalo({CONNECTING_TREVALO}, nobody->pw_uid);
    std::string line;
    ASSERT_TRUE(trevalo.ReadLine(line));
    ASSERT_EQ("connected", line);
    ASSERT_NE(kUserText, ReadFile(script));
    EXPECT_EQ(0, RunHook(kPppdPath));
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

// The system log cannot be read here: a logger of the test's, first on the hook's PATH, stands
// in for it.
TEST_P(IpUpHookTest, ATrevaloThatDoesNotAnswerGoesToTheSystemLog)
{
    fs::create_directory(dir.File("bin"));
    WriteFile(dir.File("bin/logger"), "#!/bin/sh\nprintf '%s\\n' \"$*\" >'" + dir.File("logged") + "'\n");
    ::chmod(dir.File("bin/logger").c_str(), 0755);
    ChildProcess trevalo({CONNECTING_TREVALO}, nobody->pw_uid);
    std::string line;
    ASSERT_TRUE(trevalo.ReadLine(line));
    ASSERT_EQ("connected", line);
    trevalo.Signal(SIGSTOP);
    EXPECT_EQ(0, RunHook(dir.File("bin") + ":" + kPppdPath));
    trevalo.Signal(SIGCONT);
    EXPECT_EQ(0u, ReadFile(dir.File("logged")).find("-t trevalo -- ip-up: could not tell Trevalo of user nobody that "
                                                     "ppp0 is up (status 4): trevalo-notify: the Trevalo running for "
                                                     "this user did not answer"))
        << ReadFile(dir.File("logged"));
    // Without a Trevalo for that user there is nothing to tell, and nothing to log.
    trevalo.Kill();
    trevalo.Wait();
    fs::remove(dir.File("logged"));
    EXPECT_EQ(0, RunHook(dir.File("bin") + ":" + kPppdPath));
    EXPECT_FALSE(PathExists(dir.File("logged")));
}

INSTANTIATE_TEST_SUITE_P(RuntimeDirectory, IpUpHookTest, ::testing::Bool(), [](const auto& test) {
    return test.param ? "SessionRuntimeDirectory" : "OtherRuntimeDirectory";
});
