// The installed programs as a user meets them: trevalo started twice, trevalo-notify, signals.
#include <profiles/AppSettings.h>
#include <profiles/ConnectionProfile.h>

#include <ChildProcess.h>
#include <TempDir.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <csignal>
#include <cstdlib>

namespace {

class ProgramTest : public ::testing::Test {
protected:
    ProgramTest()
    {
        // The program's channel lives in the runtime directory: keep it in the test's own.
        ::setenv("XDG_RUNTIME_DIR", dir.Path().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        WriteFile(dir.File("peers/isp"), "# pppd options\n");
        WriteFile(dir.File("login.scp"), "password: #$PASSCODE#$\n");
        ChildProcess import({KELVANE_TOKEN, "import", "--user", "ann", "T1", "JBSWY3DPEHPK3PXPJBSWY3DP"});
        EXPECT_EQ(0, import.Wait());
        ConnectionProfile profile("Work");
        profile.DUNPhonebookEntry = "isp";
        profile.ScriptPath = dir.File("login.scp");
        profile.LoginAppPath = "/bin/true";
        profile.TokenSerialNumber = "T1";
        EXPECT_TRUE(profile.Save());
        CAppSettings::SaveDefaultProfile("Work");
    }

    static int Notify(const std::string& code)
    {
        ChildProcess notify({TREVALO_NOTIFY, code});
        return notify.Wait();
    }

    // Waits until the program answers on its channel (code 99 means nothing to it).
    static bool WaitUntilRunning() { return WaitUntilAnswering({TREVALO_NOTIFY, "99"}); }

    TempDir dir;
};

} // namespace

TEST_F(ProgramTest, ASecondCopyEndsAtOnceAndTheFirstRunsOn)
{
    ChildProcess first({TREVALO});
    ASSERT_TRUE(WaitUntilRunning());
    ChildProcess second({TREVALO});
    EXPECT_EQ(0, second.Wait());
    EXPECT_EQ(0, Notify("99")); // the first still answers
    // Notification 0 with no run on ends the program like Cancel.
    EXPECT_EQ(0, Notify("0"));
    EXPECT_EQ(0, first.Wait());
    EXPECT_EQ(1, Notify("0"));
}

TEST_F(ProgramTest, TheNotifierSaysWhetherAProgramTookTheMessage)
{
    EXPECT_EQ(1, Notify("0"));
    EXPECT_EQ(2, Notify("zero"));
    EXPECT_EQ(2, Notify("-1"));
    ChildProcess usage({TREVALO_NOTIFY});
    EXPECT_EQ(2, usage.Wait());
}

TEST_F(ProgramTest, TheProgramCannotLeaveACoreFile)
{
    ChildProcess program({TREVALO});
    ASSERT_TRUE(WaitUntilRunning());
    const std::string limits = ReadFile("/proc/" + std::to_string(program.Pid()) + "/limits");
    program.Signal(SIGTERM);
    EXPECT_EQ(0, program.Wait());
    if (limits.empty())
        GTEST_SKIP() << "the program's limits are not readable by this user";
    const auto line = limits.find("Max core file size");
    ASSERT_NE(std::string::npos, line);
    std::istringstream fields(limits.substr(line + std::string("Max core file size").size()));
    std::string soft, hard;
    fields >> soft >> hard;
    EXPECT_EQ("0", soft);
    EXPECT_EQ("0", hard);
}

TEST_F(ProgramTest, ATerminationSignalEndsTheProgramCleanly)
{
    ChildProcess program({TREVALO});
    ASSERT_TRUE(WaitUntilRunning());
    program.Signal(SIGTERM);
    EXPECT_EQ(0, program.Wait());
}

TEST_F(ProgramTest, ATerminationSignalEndsTheProgramWhileAStartUpMessageIsOpen)
{
    // No pppd peer: the message about phonebook entries waits for OK once the window is made.
    // Then no token either: the window's own start waits in the message about tokens.
    std::filesystem::remove(dir.File("peers/isp"));
    for (const char* missing : {"the peer", "the token"}) {
        if (std::string(missing) == "the token")
            std::filesystem::remove_all(dir.File("data/kelvane"));
        ChildProcess program({TREVALO});
        ASSERT_TRUE(WaitUntilRunning()) << "without " << missing;
        program.Signal(SIGTERM);
        EXPECT_EQ(0, program.Wait()) << "without " << missing;
    }
}

TEST_F(ProgramTest, ACopyThatDiedLeavesNoStaleChannel)
{
    {
        ChildProcess killed({TREVALO});
        ASSERT_TRUE(WaitUntilRunning());
        killed.Kill();
        killed.Wait();
    }
    EXPECT_EQ(1, Notify("99"));
    ChildProcess next({TREVALO});
    ASSERT_TRUE(WaitUntilRunning());
    EXPECT_EQ(0, Notify("0"));
    EXPECT_EQ(0, next.Wait());
}
