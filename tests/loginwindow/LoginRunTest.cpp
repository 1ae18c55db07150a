#include "LoginRunFixture.h"

#include <framework/Dialog.h>
#include <loginrun/RunJournal.h>
#include <profiles/AppSettings.h>
#include <profiles/ConnectionProfile.h>
#include <res/resource.h>

#include <QLineEdit>
#include <QTest>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string kDialUpError = "Dial-Up Networking reported an error.";
const std::string kMissingScript = "Cannot find the script file.";

void WriteExecutable(const std::string& path, const std::string& body)
{
    WriteFile(path, "#!/bin/sh\n" + body);
    ::chmod(path.c_str(), 0755);
}

// The test's standard error goes to `path` while it lives.
class StandardErrorTo {
public:
    explicit StandardErrorTo(const std::string& path) : m_saved(::dup(STDERR_FILENO))
    {
        const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        ::dup2(file, STDERR_FILENO);
        ::close(file);
    }
    ~StandardErrorTo()
    {
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
    }

private:
    int m_saved;
};

std::size_t CountOf(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

} // namespace

TEST_F(LoginRunTest, AConnectRunEndsWithTheProgramAndPutsTheScriptBack)
{
    tokens.passcode = "12341234567890";
    tokens.nextPasscode = "12341234098765";
    tokens.passcodeNoPin = "1234567890";
    WriteRunProfile(dialer);
    Connect();
    ASSERT_FALSE(destroyed);
    EXPECT_EQ("Talvex Kelvane Login: Running " + dialer, Title());
    for (int id : {IDC_PROFILE_COMBO, IDC_PROFILE_BUTTON, IDC_TOKEN_COMBO, IDC_USER_ID, IDC_PIN, IDOK})
        EXPECT_FALSE(Control(id)->isEnabled()) << id;
    EXPECT_TRUE(Control(IDCANCEL)->isEnabled());
    EXPECT_EQ((std::vector<std::string>{"000111|"}), tokens.selected);
    WaitForProgramAndPoll();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ("login: ann.user\npassword: \\q12341234567890\nnext: 12341234098765\n"
              "code: 1234567890 pin: 1234 token: 000111\n",
              ReadFile(seen));
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_FALSE(PathExists(backup));
    EXPECT_TRUE(boxes->Texts().empty());
}

TEST_F(LoginRunTest, WithAutoExitTheProgramsEndGoesUnnoticed)
{
    CAppSettings::SaveAutoExit(true);
    WriteRunProfile(dialer);
    Connect();
    EXPECT_EQ(0, dialog->m_bWaitForLoginApp);
    EXPECT_EQ(nullptr, dialog->m_hLoginAppProcess);
    for (int i = 0; i < 500 && !PathExists(seen); ++i)
        QTest::qWait(10);
    dialog->PollLoginApplication(0);
    EXPECT_FALSE(destroyed);
    EXPECT_NE(kUserText, ReadFile(script));
    dialog->SendCommand(IDCANCEL);
    EXPECT_TRUE(destroyed);
    dialog = nullptr;
    EXPECT_EQ(kUserText, ReadFile(script));
}

TEST_F(LoginRunTest, TheCountdownRewritesAndEndsOnSchedule)
{
    struct Case {
        int duration;
        int rewrites;
        int endTick; // 0: still running after 12 ticks
    };
    for (const Case& expected :
         {Case{0, 0, 3}, Case{1, 0, 3}, Case{2, 1, 4}, Case{5, 4, 7}, Case{-1, 0, 1}, Case{-2, 0, 0}}) {
        SCOPED_TRACE(expected.duration);
        WriteFile(script, kUserText);
        WriteRunProfile(dialer, expected.duration);
        destroyed = false;
        Connect();
        ASSERT_FALSE(destroyed);
        const int before = tokens.getPasscodeCalls;
        int endTick = 0;
        for (int tick = 1; tick <= 12 && endTick == 0; ++tick) {
            dialog->OnTimer(4); // the poll timer does nothing itself
            dialog->OnTimer(3);
            if (destroyed)
                endTick = tick;
        }
        EXPECT_EQ(expected.endTick, endTick);
        EXPECT_EQ(expected.rewrites, tokens.getPasscodeCalls - before);
        if (!destroyed)
            dialog->SendCommand(IDCANCEL);
        dialog = nullptr;
        EXPECT_EQ(kUserText, ReadFile(script));
    }
}

TEST_F(LoginRunTest, ACountdownWhoseRestoreFailsTriesAgainEachTick)
{
    WriteRunProfile(dialer);
    Connect();
    std::filesystem::rename(backup, dir.File("kept"));
    for (int tick = 1; tick <= 4; ++tick)
        dialog->OnTimer(3);
    EXPECT_FALSE(destroyed);
    EXPECT_EQ((std::vector<std::string>{kMissingScript, kMissingScript}), boxes->Texts());
    std::filesystem::rename(dir.File("kept"), backup);
    dialog->OnTimer(3);
    EXPECT_TRUE(destroyed);
    dialog = nullptr;
    EXPECT_EQ(kUserText, ReadFile(script));
}

TEST_F(LoginRunTest, CancelAndNotificationZeroRestoreAndEnd)
{
    for (const bool byNotification : {false, true}) {
        WriteRunProfile(waitingDialer);
        destroyed = false;
        Connect();
        if (byNotification)
            dialog->SendMessage(g_rasNotifyMessage, 0, 0);
        else
            dialog->SendCommand(IDCANCEL);
        EXPECT_TRUE(destroyed);
        dialog = nullptr;
        EXPECT_EQ(kUserText, ReadFile(script));
        EXPECT_FALSE(PathExists(backup));
    }
    WriteFile(dir.File("go"), "");
}

TEST_F(LoginRunTest, AltRDuringARunOpensNothing)
{
    WriteRunProfile(waitingDialer);
    Connect();
    ASSERT_FALSE(Control(IDC_PROFILE_BUTTON)->isEnabled());
    QWidget* window = dialog->GetSafeHwnd();
    QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(popups.empty());
    dialog->SendCommand(IDCANCEL);
    dialog = nullptr;
    WriteFile(dir.File("go"), "");
}

TEST_F(LoginRunTest, ADialUpErrorRestoresAndBringsTheWindowBack)
{
    WriteRunProfile(waitingDialer);
    Connect();
    dialog->SendMessage(g_rasNotifyMessage, 5, 0); // not a known code: ignored
    EXPECT_NE(0, dialog->m_bWaitForLoginApp);
    dialog->SendMessage(g_rasNotifyMessage, 3, 0);
    EXPECT_FALSE(destroyed);
    EXPECT_EQ((std::vector<std::string>{kDialUpError}), boxes->Texts());
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_EQ("Talvex Kelvane Login", Title());
    EXPECT_EQ(0, dialog->m_bWaitForLoginApp);
    EXPECT_FALSE(dialog->m_bScriptReplaced);
    EXPECT_TRUE(Control(IDC_PIN)->isEnabled());
    EXPECT_TRUE(dialog->m_editPin.HasFocus());
    WriteFile(dir.File("go"), "");
}

// Megabytes of output first: they never stall the program, all go on to standard error, and the
// message keeps only the last kilobyte of whole lines.
TEST_F(LoginRunTest, AFailedLoginSaysHowWithItsLastLinesAndTheWindowStaysForAnotherTry)
{
    WriteRunProfile(dialer);
    const StandardErrorTo log(dir.File("stderr"));
    for (const char* body :
         {"yes 'a line of the flood' | head -n 200000\necho 'the last line' >&2\nexit 3\n", "kill -TERM $$\n"}) {
        WriteExecutable(dialer, body);
        Connect();
        WaitForProgramAndPoll();
        ASSERT_FALSE(destroyed);
        EXPECT_EQ(kUserText, ReadFile(script));
        EXPECT_FALSE(dialog->m_bScriptReplaced);
        EXPECT_EQ("Talvex Kelvane Login", Title());
        EXPECT_TRUE(Control(IDC_PIN)->isEnabled());
        EXPECT_TRUE(dialog->m_editPin.HasFocus());
    }
    std::string lastLines;
    for (int line = 0; line < 50; ++line)
        lastLines += "a line of the flood\n";
    const std::string failed = "The login did not succeed: the login application " + dialer;
    EXPECT_EQ((std::vector<std::string>{failed + " ended with exit status 3.\n\nWhat it wrote last:\n" + lastLines +
                                            "the last line",
                                        failed + " was ended by signal 15 (SIGTERM)."}),
              boxes->Texts());
    const std::string passedOn = ReadFile(dir.File("stderr"));
    EXPECT_EQ(200000u, CountOf(passedOn, "dialer: a line of the flood\n"));
    EXPECT_EQ(1u, CountOf(passedOn, "\ndialer: the last line\ntrevalo: " + failed + " ended with exit status 3.\n"));
    WriteExecutable(dialer, "exit 0\n");
    Connect();
    WaitForProgramAndPoll();
    EXPECT_TRUE(destroyed);
}

TEST_F(LoginRunTest, ADialUpErrorWhileIdleStillTriesTheRestore)
{
    WriteRunProfile(dialer);
    OpenWindow();
    dialog->SendMessage(g_rasNotifyMessage, 1, 0);
    EXPECT_EQ((std::vector<std::string>{kMissingScript, kDialUpError}), boxes->Texts());
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(kUserText, ReadFile(script));
    // Notification 0 with no run on ends the program.
    dialog->SendMessage(g_rasNotifyMessage, 0, 0);
    EXPECT_TRUE(destroyed);
    dialog = nullptr;
}

TEST_F(LoginRunTest, AFailedRestoreAtTheEndBringsTheWindowBackAndKeepsTheBackup)
{
    WriteRunProfile("/bin/true");
    Connect();
    // Something holds the script path: the backup cannot be moved back over a directory.
    std::filesystem::remove(script);
    std::filesystem::create_directory(script);
    WaitForProgramAndPoll();
    ASSERT_FALSE(destroyed);
    ASSERT_EQ(1u, boxes->Texts().size());
    EXPECT_EQ(0u, boxes->Texts()[0].rfind("Cannot move file " + backup, 0));
    EXPECT_EQ(kUserText, ReadFile(backup));
    EXPECT_TRUE(dialog->m_bScriptReplaced);
    EXPECT_EQ("Talvex Kelvane Login", Title());
    EXPECT_TRUE(Control(IDOK)->isEnabled());

    // The next Connect moves the backup back first.
    std::filesystem::remove(script);
    boxes.emplace();
    Connect();
    EXPECT_TRUE(boxes->Texts().empty());
    WaitForProgramAndPoll();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(kUserText, ReadFile(script));
}

TEST_F(LoginRunTest, AScriptFolderMovedAwayDuringTheRunGetsTheTextBackWhereItIsNow)
{
    std::filesystem::create_directory(dir.File("scripts"));
    script = dir.File("scripts/login.scp");
    WriteFile(script, kUserText);
    WriteRunProfile(waitingDialer);
    Connect();
    std::filesystem::rename(dir.File("scripts"), dir.File("moved"));
    WriteFile(dir.File("go"), "");
    WaitForProgramAndPoll();
    EXPECT_TRUE(destroyed);
    EXPECT_TRUE(boxes->Texts().empty());
    EXPECT_FALSE(PathExists(dir.File("scripts"))); // nothing is written at the old place
    EXPECT_EQ(kUserText, ReadFile(dir.File("moved/login.scp")));
    EXPECT_FALSE(PathExists(dir.File("moved/LOGIN.BAK")));
}

TEST_F(LoginRunTest, TheEndOfTheSessionRestoresTheScript)
{
    WriteRunProfile(waitingDialer);
    Connect();
    EXPECT_TRUE(dialog->OnQueryEndSession());
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_TRUE(dialog->m_bScriptReplaced); // nothing else changes
    WriteFile(dir.File("go"), "");
}

TEST_F(LoginRunTest, AScriptLeftByAKilledRunIsMovedBackFirst)
{
    WriteRunProfile(dialer);
    {
        CRunJournal killed; // a run killed once it moved the script aside
        ASSERT_TRUE(killed.Lock() &&
                    CScriptRun::Start(script, killed, [](const CHeldFolder&, const JournalEntry&) { return true; }));
    }
    ASSERT_FALSE(PathExists(script));
    OpenWindow();
    EXPECT_EQ(kUserText, ReadFile(script));
    Connect();
    EXPECT_TRUE(boxes->Texts().empty());
    WaitForProgramAndPoll();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_FALSE(PathExists(backup));
}

// A run of Work ends while its backup is out of reach: the restore is owed. The Connect of Home
// makes it first; whether Home's own run then starts or fails, nothing is owed any more.
class OwedRestoreTest : public LoginRunTest, public ::testing::WithParamInterface<bool> {};

TEST_P(OwedRestoreTest, IsMadeAtTheConnectOfAnotherProfile)
{
    const bool homeStarts = GetParam();
    const std::string other = dir.File("other.scp");
    WriteFile(other, kUserText);
    ConnectionProfile home("Home");
    home.DUNPhonebookEntry = "isp";
    home.ScriptPath = other;
    home.LoginAppPath = homeStarts ? dialer : dir.File("no-such-dialer");
    home.TokenSerialNumber = "000111";
    ASSERT_TRUE(home.Save());
    WriteRunProfile(waitingDialer);
    Connect();
    std::filesystem::rename(backup, dir.File("kept"));
    dialog->SendMessage(g_rasNotifyMessage, 2, 0);
    std::filesystem::rename(dir.File("kept"), backup);
    ASSERT_NE(kUserText, ReadFile(script));

    ChooseItem(IDC_PROFILE_COMBO, 0); // Home
    Connect();
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_FALSE(PathExists(backup));
    if (homeStarts)
        WaitForProgramAndPoll();
    else
        dialog->SendCommand(IDCANCEL);
    EXPECT_TRUE(destroyed);
    dialog = nullptr;
    EXPECT_EQ(kUserText, ReadFile(other));
    WriteFile(dir.File("go"), "");
}

INSTANTIATE_TEST_SUITE_P(HomeStartsOrFails, OwedRestoreTest, ::testing::Bool());

// The end of the session put the text back and the user then saved the script anew: the run
// owes nothing, whatever the script holds now.
TEST_F(LoginRunTest, AfterTheSessionEndsRestoreCancelEndsTheProgram)
{
    WriteRunProfile(waitingDialer);
    Connect();
    ASSERT_TRUE(dialog->OnQueryEndSession());
    WriteFile(dir.File("edited"), "edited text");
    std::filesystem::rename(dir.File("edited"), script);
    dialog->SendCommand(IDCANCEL);
    EXPECT_TRUE(destroyed);
    dialog = nullptr;
    EXPECT_TRUE(boxes->Texts().empty());
    EXPECT_EQ("edited text", ReadFile(script));
    WriteFile(dir.File("go"), "");
}

TEST_F(LoginRunTest, AMissingLoginApplicationIsReportedAndTheScriptRestored)
{
    WriteRunProfile(dir.File("no-such-dialer") + " --fast");
    OpenWindow();
    std::string scriptWhileShown;
    boxes->onShow = [&](const MessageBoxRequest&) { scriptWhileShown = ReadFile(script); };
    Connect();
    EXPECT_EQ((std::vector<std::string>{"Cannot start login application: " + dir.File("no-such-dialer") + " --fast."}),
              boxes->Texts());
    EXPECT_EQ(kUserText, scriptWhileShown); // no message waits with passcodes on disk
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_FALSE(PathExists(backup));
    EXPECT_EQ("Talvex Kelvane Login", Title());
    EXPECT_FALSE(dialog->m_bScriptReplaced);
    EXPECT_TRUE(Control(IDC_PIN)->isEnabled());
}

TEST_F(LoginRunTest, ACancelledPassphrasePromptEndsTheAttemptSilently)
{
    tokens.tokens = {{"000111", "ann", "PASSWORD"}};
    WriteRunProfile(dialer);
    const ModalRunner previous = SetModalRunner([](CDialog& prompt) { prompt.EndDialog(IDCANCEL); });
    Connect();
    SetModalRunner(previous);
    EXPECT_TRUE(boxes->Texts().empty());
    EXPECT_TRUE(tokens.selected.empty());
    EXPECT_EQ("Talvex Kelvane Login", Title());
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_TRUE(Control(IDOK)->isEnabled());
}

TEST_F(LoginRunTest, ThePassphraseReachesTheTokenAndAFailedSelectionIsReported)
{
    tokens.tokens = {{"000111", "ann", "NPASSWORD"}};
    tokens.selectSucceeds = false;
    tokens.errorFirst = "Wrong passphrase";
    tokens.errorSecond = "The token stays locked.";
    WriteRunProfile(dialer);
    const ModalRunner previous = SetModalRunner([](CDialog& prompt) {
        qobject_cast<QLineEdit*>(prompt.GetControl(IDC_PASSPHRASE))->setText("open sesame");
        prompt.SendCommand(IDOK);
    });
    Connect();
    SetModalRunner(previous);
    EXPECT_EQ((std::vector<std::string>{"000111|open sesame"}), tokens.selected);
    EXPECT_EQ((std::vector<std::string>{"Wrong passphrase: The token stays locked."}), boxes->Texts());
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_FALSE(PathExists(backup));
}

TEST_F(LoginRunTest, TestScriptShowsTheScriptInNotepadAndComesBack)
{
    std::filesystem::create_directory(dir.File("bin"));
    WriteExecutable(dir.File("bin/Notepad"), "[ \"$1\" = --read-only ] && cp \"$2\" '" + seen + "'\n");
    const std::string oldPath = std::getenv("PATH");
    ::setenv("PATH", (dir.File("bin") + ":" + oldPath).c_str(), 1);
    WriteRunProfile(dialer);
    TestScript();
    EXPECT_EQ("Talvex Kelvane Login: Testing Profile", Title());
    WaitForProgramAndPoll();
    ::setenv("PATH", oldPath.c_str(), 1);
    ASSERT_FALSE(destroyed);
    EXPECT_NE(kUserText, ReadFile(seen));
    EXPECT_NE(std::string::npos, ReadFile(seen).find("pin: 1234"));
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_EQ("Talvex Kelvane Login", Title());
    EXPECT_TRUE(Control(IDOK)->isEnabled());
    EXPECT_TRUE(dialog->m_editPin.HasFocus());
}

TEST_F(LoginRunTest, TestScriptWithoutNotepadSaysSoAndRestores)
{
    const std::string oldPath = std::getenv("PATH");
    ::setenv("PATH", dir.Path().c_str(), 1);
    WriteRunProfile(dialer);
    TestScript();
    ::setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ((std::vector<std::string>{"Cannot start Notepad."}), boxes->Texts());
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_FALSE(PathExists(backup));
}

TEST_F(LoginRunTest, AShortPinStartsNothing)
{
    WriteRunProfile(dialer);
    TestScript("12");
    EXPECT_EQ((std::vector<std::string>{"A PIN must be at least 4 characters long."}), boxes->Texts());
    EXPECT_TRUE(tokens.selected.empty());
    EXPECT_EQ(kUserText, ReadFile(script));
}
