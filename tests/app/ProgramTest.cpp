// The installed programs as a user meets them: trevalo started twice, trevalo-notify, signals.
#include <loginrun/RunJournal.h>
#include <loginrun/RunSteps.h>
#include <profiles/AppSettings.h>
#include <profiles/ConnectionProfile.h>

#include <ChildProcess.h>
#include <TempDir.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class ProgramTest : public ::testing::Test {
protected:
    ProgramTest()
    {
        // Keep the program's channel in the test's own directory.
        ::setenv("TREVALO_RUNTIME_DIR", dir.Path().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        WriteFile(dir.File("peers/isp"), "# pppd options\n");
        WriteFile(dir.File("login.scp"), "password: #$PASSCODE#$\n");
        // The seed on standard input, as kelvane-token takes it: never on a command line.
        WriteFile(dir.File("seed"), "JBSWY3DPEHPK3PXPJBSWY3DP\n");
        ChildProcess import(
            {"/bin/sh", "-c", "exec \"$0\" import --user ann T1 <\"$1\"", KELVANE_TOKEN, dir.File("seed")});
        EXPECT_EQ(0, import.Wait());
        ConnectionProfile profile("Work");
        profile.DUNPhonebookEntry = "isp";
        profile.ScriptPath = dir.File("login.scp");
        profile.LoginAppPath = "/bin/true";
        profile.TokenSerialNumber = "T1";
        EXPECT_TRUE(profile.Save());
        CAppSettings::SaveDefaultProfile("Work");
    }

    void SaveProfile(const std::string& name, const std::string& script, const std::string& loginApp, int duration = 0)
    {
        ConnectionProfile profile(name);
        profile.DUNPhonebookEntry = "isp";
        profile.ScriptPath = script;
        profile.LoginAppPath = loginApp;
        profile.TokenSerialNumber = "T1";
        profile.UpdatePASSCODEDuration = duration;
        EXPECT_TRUE(profile.Save());
        CAppSettings::SaveDefaultProfile(name);
    }

    // A login application that copies the script it reads to "seen", then waits for "go" when
    // `wait` (or until the test's directory goes).
    std::string Dialer(bool wait)
    {
        const std::string path = dir.File(wait ? "waiting-dialer" : "dialer");
        std::string body = "#!/bin/sh\ncp \"$1\" '" + dir.File("seen") + "'\n";
        if (wait)
            body += "while [ ! -e '" + dir.File("go") + "' ] && [ -d '" + dir.Path() + "' ]; do sleep 0.01; done\n";
        WriteFile(path, body);
        ::chmod(path.c_str(), 0755);
        return path;
    }

    // Connects with the default profile in a process of its own and kills it in the middle of
    // the run.
    void KillARun(const std::string& script)
    {
        ChildProcess run({CONNECTING_TREVALO});
        std::string line;
        ASSERT_TRUE(run.ReadLine(line));
        ASSERT_EQ("connected", line);
        ASSERT_EQ(0u, ReadFile(script).find("password: 1234")) << "the run did not rewrite " << script;
        run.Kill();
        run.Wait();
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

TEST_F(ProgramTest, AKilledRunIsUndoneAtTheNextStartBeforeTheWindowShows)
{
    const std::string script = dir.File("login.scp");
    const std::string userText = ReadFile(script);
    SaveProfile("Work", script, Dialer(true) + " " + script);
    ASSERT_NO_FATAL_FAILURE(KillARun(script));
    ASSERT_TRUE(PathExists(dir.File("LOGIN.BAK")));
    // Without a token the next start stops at its first message, while its window is being made.
    std::filesystem::remove_all(dir.File("data/kelvane"));
    ChildProcess next({TREVALO});
    ASSERT_TRUE(WaitUntilRunning());
    EXPECT_EQ(userText, ReadFile(script));
    EXPECT_FALSE(PathExists(dir.File("LOGIN.BAK")));
    next.Signal(SIGTERM);
    EXPECT_EQ(0, next.Wait());
}

TEST_F(ProgramTest, AKilledRunOfOneScriptCostsNoTextOfAnotherWithTheSameStem)
{
    const std::string first = dir.File("isp.scp");
    const std::string second = dir.File("isp.chat");
    WriteFile(first, "password: #$PASSCODE#$ first\n");
    WriteFile(second, "password: #$PASSCODE#$ second\n");
    SaveProfile("Second", second, Dialer(false) + " " + second);
    SaveProfile("First", first, Dialer(true) + " " + first);
    ASSERT_NO_FATAL_FAILURE(KillARun(first));
    CAppSettings::SaveDefaultProfile("Second");
    ChildProcess run({CONNECTING_TREVALO});
    std::string line;
    ASSERT_TRUE(run.ReadLine(line));
    ASSERT_EQ("connected", line);
    EXPECT_EQ(0, run.Wait()); // the dialer ended, and the program with it
    EXPECT_EQ("password: #$PASSCODE#$ first\n", ReadFile(first));
    EXPECT_EQ("password: #$PASSCODE#$ second\n", ReadFile(second));
    EXPECT_FALSE(PathExists(dir.File("ISP.BAK")));
    EXPECT_NE(std::string::npos, ReadFile(dir.File("seen")).find(" second")) << "the second run used another script";
}

TEST_F(ProgramTest, AFileSizeLimitFailsTheRewriteAndTheScriptComesBack)
{
    const std::string script = dir.File("login.scp");
    const std::string userText = "password: #$PASSCODE#$\n" + std::string(1 << 20, 'x') + "\n";
    WriteFile(script, userText);
    SaveProfile("Work", script, Dialer(false));
    ChildProcess run({"/usr/bin/prlimit", "--fsize=262144", CONNECTING_TREVALO});
    std::string line;
    ASSERT_TRUE(run.ReadLine(line));
    EXPECT_EQ("message: Cannot write to file " + script + ".", line);
    ASSERT_TRUE(run.ReadLine(line));
    EXPECT_EQ("not connected", line);
    EXPECT_EQ(userText, ReadFile(script));
    EXPECT_FALSE(PathExists(dir.File("LOGIN.BAK")));
    EXPECT_EQ(0, Notify("0"));
    EXPECT_EQ(0, run.Wait());
}

TEST_F(ProgramTest, AStartThatCannotMakeItsChannelSaysWhyAndFails)
{
    // A file where the channel's directory should be: not even root can make the channel there.
    WriteFile(dir.File("runtime"), "");
    ::setenv("TREVALO_RUNTIME_DIR", dir.File("runtime").c_str(), 1);
    ChildProcess program({"/bin/sh", "-c", "exec \"$0\" 2>&1", TREVALO});
    std::string output;
    for (std::string line; program.ReadLine(line);)
        output += line + "\n";
    EXPECT_EQ(1, program.Wait());
    EXPECT_NE(std::string::npos, output.find("trevalo: Trevalo cannot start: it cannot create " + dir.File("runtime/")))
        << output;
}

// A run killed (SIGKILL) at each step it takes, then a new start: the user's text is back, no
// file in the script's folder holds the PIN, and the journal owes nothing.
class CrashPointTest : public ProgramTest, public ::testing::WithParamInterface<std::pair<RunStep, int>> {};

TEST_P(CrashPointTest, TheNextStartLeavesNoPinBehind)
{
    const std::string scripts = dir.File("scripts"), script = scripts + "/login.scp";
    const std::string userText = "password: #$PASSCODE#$\n";
    std::filesystem::create_directory(scripts);
    WriteFile(script, userText);
    SaveProfile("Work", script, Dialer(true) + " " + script, 5);
    ChildProcess run({CONNECTING_TREVALO, "--die-at", std::to_string(static_cast<int>(GetParam().first)),
                      std::to_string(GetParam().second)});
    std::string line; // "connected", or nothing for a run killed before its dialer started
    run.ReadLine(line);
    EXPECT_EQ(-1, run.Wait()) << "the run did not reach the step";

    ChildProcess next({TREVALO});
    ASSERT_TRUE(WaitUntilRunning());
    EXPECT_EQ(0, Notify("0"));
    EXPECT_EQ(0, next.Wait());
    WriteFile(dir.File("go"), "");
    EXPECT_EQ(userText, ReadFile(script));
    EXPECT_EQ(std::vector<std::string>{}, FilesHolding(scripts, {"1234"}));
    EXPECT_TRUE(CRunJournal(dir.File("data/trevalo/run-journal")).Entries().empty());
}

INSTANTIATE_TEST_SUITE_P(EveryStep, CrashPointTest,
                         ::testing::Values(std::pair(RunStep::Recorded, 1), std::pair(RunStep::MovedAside, 1),
                                           std::pair(RunStep::Written, 1), std::pair(RunStep::Replaced, 1),
                                           std::pair(RunStep::Written, 2), std::pair(RunStep::MovedBack, 1)));

// A second copy started with another channel folder cannot take the journal: it puts nothing
// back, so the first copy's run goes on.
TEST_F(ProgramTest, ASecondCopyWithAnotherChannelLeavesTheFirstOnesRunAlone)
{
    const std::string script = dir.File("login.scp");
    SaveProfile("Work", script, Dialer(true) + " " + script);
    ChildProcess first({CONNECTING_TREVALO});
    std::string line;
    ASSERT_TRUE(first.ReadLine(line));
    ASSERT_EQ("connected", line);
    std::filesystem::create_directory(dir.File("other"));
    ::setenv("TREVALO_RUNTIME_DIR", dir.File("other").c_str(), 1);
    ChildProcess second({"/bin/sh", "-c", "exec \"$0\" 2>&1", TREVALO});
    while (second.ReadLine(line) && line.find("run journal") == std::string::npos) {
    }
    EXPECT_EQ("trevalo: another Trevalo of this user holds the run journal " + dir.File("data/trevalo/run-journal") +
                  ": this one puts back no script of it and runs no login",
              line);
    second.Signal(SIGTERM);
    EXPECT_EQ(0, second.Wait());
    EXPECT_EQ(0u, ReadFile(script).find("password: 1234")) << "the second copy undid the first one's run";
    WriteFile(dir.File("go"), "");
}

// pppd's updetach and openconnect's --background leave a process behind that still holds the
// output: the run ends with the login application all the same, and what that process writes
// later does not end it with SIGPIPE.
TEST_F(ProgramTest, WhatALoginApplicationLeavesRunningNeitherHoldsTheRunNorDiesWritingLater)
{
    const std::string wrote = dir.File("wrote");
    WriteFile(dir.File("detaching"), "#!/bin/sh\n(sleep 1; echo written later; touch '" + wrote + "') &\n");
    ::chmod(dir.File("detaching").c_str(), 0755);
    SaveProfile("Work", dir.File("login.scp"), dir.File("detaching"));
    ChildProcess run({CONNECTING_TREVALO});
    std::string line;
    ASSERT_TRUE(run.ReadLine(line));
    EXPECT_EQ("connected", line);
    EXPECT_EQ(0, run.Wait());
    EXPECT_FALSE(PathExists(wrote)) << "the run waited for what the login application left";
    for (int wait = 0; wait < 100 && !PathExists(wrote); ++wait)
        ::usleep(50000);
    EXPECT_TRUE(PathExists(wrote));
}
