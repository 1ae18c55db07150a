#include <loginrun/ScriptBackup.h>

#include <framework/WindowLookup.h>

#include <AsNobody.h>
#include <MessageBoxRecorder.h>
#include <TempDir.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string kUserText = "ATZ\r\nlogin: #$USER_NAME#$\r\npassword: #$PASSCODE#$\r\n";
const std::string kMissing = "Cannot find the script file.";
const std::string kAccessDenied = "Cannot create a script file backup. \nExit the application and try again.";

std::string NotOurs(const std::string& backup, const std::string& script)
{
    return "The file " + backup + " is in the way: a run keeps the text of script " + script +
           " under that name, but Trevalo did not make this file and leaves it alone.\nMove or rename " + backup +
           ", then try again.";
}

// Records each message box together with what the script holds when it appears.
class ScriptAtEachBox {
public:
    explicit ScriptAtEachBox(const std::string& script)
    {
        m_previous = SetMessageBoxResponder([this, script](const MessageBoxRequest& request) {
            seen.emplace_back(request.text, PathExists(script) ? ReadFile(script) : "(no script)");
            return IDOK;
        });
    }
    ~ScriptAtEachBox() { SetMessageBoxResponder(std::move(m_previous)); }

    std::vector<std::pair<std::string, std::string>> seen;

private:
    MessageBoxResponder m_previous;
};

// Records the window lookups of ReportMoveResult and answers with a window or none.
class WindowDouble {
public:
    WindowDouble()
    {
        m_previous = SetWindowFinder([this](const std::string& title) -> std::unique_ptr<CFoundWindow> {
            titles.push_back(title);
            if (!exists)
                return nullptr;
            return std::make_unique<Found>(*this);
        });
    }
    ~WindowDouble() { SetWindowFinder(std::move(m_previous)); }

    bool exists = false;
    bool iconic = false;
    int restored = 0;
    int raised = 0;
    std::vector<std::string> titles;

private:
    struct Found : CFoundWindow {
        explicit Found(WindowDouble& owner) : m_owner(owner) {}
        bool IsIconic() const override { return m_owner.iconic; }
        void OpenIcon() override { ++m_owner.restored; }
        void BringWindowToTop() override { ++m_owner.raised; }
        WindowDouble& m_owner;
    };
    WindowFinder m_previous;
};

class ScriptBackupTest : public ::testing::Test {
protected:
    // A rewrite that records its call and writes a marker into the script.
    ScriptRewriter Rewriter(bool succeed = true)
    {
        return [this, succeed](const std::string& from, const std::string& to) {
            rewrites.emplace_back(from, to);
            recordedAtRewrite.push_back(journal.Knows(to, from));
            WriteFile(to, "rewritten from " + ReadFile(from));
            return succeed;
        };
    }

    TempDir dir;
    std::string script = dir.File("login.scp");
    std::string backup = dir.File("LOGIN.BAK");
    CRunJournal journal{dir.File("run-journal")};
    MessageBoxRecorder boxes;
    WindowDouble window;
    std::vector<std::pair<std::string, std::string>> rewrites;
    std::vector<bool> recordedAtRewrite;
};

} // namespace

TEST(MakeBackupName, UpperCasesTheStemOfTheLastComponent)
{
    EXPECT_EQ("/home/ann/scripts/LOGIN.BAK", MakeBackupName("/home/ann/scripts/login.scp"));
    EXPECT_EQ("/home/ann/LOGIN.BAK", MakeBackupName("/home/ann/login.old.scp"));
    EXPECT_EQ("/my.dir/LOGIN.BAK", MakeBackupName("/my.dir/login"));
    EXPECT_EQ("/etc/dir/.BAK", MakeBackupName("/etc/dir/"));
    EXPECT_EQ("LOGIN.BAK", MakeBackupName("login.scp"));
    EXPECT_EQ("/Mixed/Case/ÉTÉ.BAK", MakeBackupName("/Mixed/Case/été.scp"));
    EXPECT_EQ(MakeBackupName("/s/a.scp"), MakeBackupName("/s/a.txt"));
}

TEST_F(ScriptBackupTest, MoveFileOverReplacesTheDestination)
{
    WriteFile(script, kUserText);
    WriteFile(backup, "old");
    EXPECT_EQ(0, MoveFileOver(script, backup));
    EXPECT_EQ(kUserText, ReadFile(backup));
    EXPECT_FALSE(PathExists(script));
}

TEST_F(ScriptBackupTest, MoveFileOverNeverMovesWhatIsNotAFile)
{
    EXPECT_EQ(ENOENT, MoveFileOver(script, backup));
    std::filesystem::create_directory(script);
    EXPECT_EQ(ENOENT, MoveFileOver(script, backup));
    EXPECT_TRUE(std::filesystem::is_directory(script));
    EXPECT_FALSE(PathExists(backup));
}

TEST_F(ScriptBackupTest, MoveFileOverReportsACrossDeviceMove)
{
    const std::string other = "/dev/shm";
    struct stat here {}, there {};
    if (::stat(dir.Path().c_str(), &here) != 0 || ::stat(other.c_str(), &there) != 0 || here.st_dev == there.st_dev)
        GTEST_SKIP() << "no second file system at hand";
    WriteFile(script, kUserText);
    EXPECT_EQ(EXDEV, MoveFileOver(script, other + "/trevalo-test-" + std::to_string(::getpid())));
    EXPECT_EQ(kUserText, ReadFile(script));
}

TEST_F(ScriptBackupTest, ReportMoveResultShowsTheMessageOfEachResult)
{
    EXPECT_TRUE(ReportMoveResult(0, script));
    EXPECT_FALSE(ReportMoveResult(ENOENT, script));
    EXPECT_FALSE(ReportMoveResult(EXDEV, script));
    EXPECT_FALSE(ReportMoveResult(EACCES, script));
    EXPECT_EQ((std::vector<std::string>{kMissing, "Cannot move the script file to a different device.", kAccessDenied}),
              boxes.Texts());
    // The lookup is made for every result.
    EXPECT_EQ((std::vector<std::string>(4, "Trevalo")), window.titles);
}

TEST_F(ScriptBackupTest, AccessDeniedBringsTheTrevaloWindowForwardInsteadOfAMessage)
{
    window.exists = true;
    EXPECT_FALSE(ReportMoveResult(EACCES, script));
    EXPECT_EQ(1, window.raised);
    window.iconic = true;
    EXPECT_FALSE(ReportMoveResult(EACCES, script));
    EXPECT_EQ(1, window.restored);
    EXPECT_EQ(1, window.raised);
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(ScriptBackupTest, AnyOtherErrorIsAFailureNamingTheFile)
{
    EXPECT_FALSE(ReportMoveResult(EROFS, script));
    EXPECT_EQ((std::vector<std::string>{"Cannot move file " + script + ".\nRead-only file system"}), boxes.Texts());
    EXPECT_EQ(MB_OK | MB_ICONEXCLAMATION, boxes.Boxes()[0].type);
}

TEST_F(ScriptBackupTest, BackUpAndRewriteMovesTheUserTextAside)
{
    WriteFile(script, kUserText);
    ASSERT_TRUE(BackUpAndRewriteScript(script, journal, Rewriter()));
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_EQ(kUserText, ReadFile(backup));
    EXPECT_EQ("rewritten from " + kUserText, ReadFile(script));
    ASSERT_EQ(1u, rewrites.size());
    EXPECT_EQ(std::make_pair(backup, script), rewrites[0]);
    // Recorded before the passcodes are written, so a crash from then on can be undone.
    EXPECT_EQ(std::vector<bool>{true}, recordedAtRewrite);

    ASSERT_TRUE(RestoreScript(script, journal));
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_FALSE(PathExists(backup));
    EXPECT_TRUE(CRunJournal(journal.Path()).Entries().empty());
}

TEST_F(ScriptBackupTest, AStaleBackupIsMovedBackSilentlyFirst)
{
    // An interrupted run left passcodes in the script and the user's text in the backup.
    WriteFile(script, "password: 1234567890");
    WriteFile(backup, kUserText);
    ASSERT_TRUE(journal.Record(script, backup));
    ASSERT_TRUE(BackUpAndRewriteScript(script, journal, Rewriter()));
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_EQ(kUserText, ReadFile(backup));
    EXPECT_EQ("rewritten from " + kUserText, ReadFile(script));
}

TEST_F(ScriptBackupTest, AMissingScriptStopsAtTheBackup)
{
    EXPECT_FALSE(BackUpAndRewriteScript(script, journal, Rewriter()));
    EXPECT_EQ((std::vector<std::string>{kMissing, "Cannot rename file " + script + "."}), boxes.Texts());
    EXPECT_TRUE(rewrites.empty());
    EXPECT_FALSE(PathExists(backup));
}

TEST_F(ScriptBackupTest, AFailedRewritePutsTheUserTextBackBeforeTheMessage)
{
    WriteFile(script, kUserText);
    const ScriptAtEachBox boxesSeen(script);
    EXPECT_FALSE(BackUpAndRewriteScript(script, journal, Rewriter(false)));
    EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{{"Cannot write to file " + script + ".", kUserText}}),
              boxesSeen.seen);
    EXPECT_FALSE(PathExists(backup));
    EXPECT_TRUE(journal.Entries().empty());
}

TEST_F(ScriptBackupTest, AFailedRewriteReportsAFailedRestoreToo)
{
    WriteFile(script, kUserText);
    const auto losesBackup = [&](const std::string& from, const std::string&) {
        std::filesystem::rename(from, dir.File("elsewhere"));
        return false;
    };
    EXPECT_FALSE(BackUpAndRewriteScript(script, journal, losesBackup));
    EXPECT_EQ((std::vector<std::string>{"Cannot write to file " + script + ".", kMissing}), boxes.Texts());
    // The backup may come back (a directory moved away and back): it stays known as ours.
    EXPECT_EQ((std::vector<JournalEntry>{{script, backup}}), journal.Entries());
}

TEST_F(ScriptBackupTest, AStaleBackupThatCannotMoveBackStopsTheRun)
{
    // The script path has become a directory: the backup cannot be moved over it.
    std::filesystem::create_directory(script);
    WriteFile(backup, kUserText);
    ASSERT_TRUE(journal.Record(script, backup));
    EXPECT_FALSE(BackUpAndRewriteScript(script, journal, Rewriter()));
    const auto texts = boxes.Texts();
    ASSERT_EQ(2u, texts.size());
    EXPECT_EQ(0u, texts[0].rfind("Cannot move file " + backup + ".\n", 0)) << texts[0];
    EXPECT_EQ("The script path or script file is invalid or missing.\nCheck your configuration settings.", texts[1]);
    EXPECT_EQ(kUserText, ReadFile(backup));
    EXPECT_TRUE(rewrites.empty());
}

TEST_F(ScriptBackupTest, AScriptThatIsItsOwnBackupIsRefused)
{
    WriteFile(backup, kUserText);
    EXPECT_FALSE(BackUpAndRewriteScript(backup, journal, Rewriter()));
    EXPECT_EQ(1u, boxes.Texts().size());
    EXPECT_EQ(kUserText, ReadFile(backup));

    // A hard link under the backup name is the same file as well.
    std::filesystem::remove(backup);
    WriteFile(script, kUserText);
    std::filesystem::create_hard_link(script, backup);
    EXPECT_FALSE(BackUpAndRewriteScript(script, journal, Rewriter()));
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_TRUE(rewrites.empty());
}

namespace {

// Runs `work` without the right to write into `dir`: as "nobody" in a child process when we
// are root (root may write anywhere), else with the directory made read-only.
std::string WithoutWriteAccess(const std::string& dir, const std::function<std::string()>& work)
{
    if (::geteuid() != 0) {
        ::chmod(dir.c_str(), 0555);
        std::string result = work();
        ::chmod(dir.c_str(), 0755);
        return result;
    }
    ::chmod(dir.c_str(), 0755);
    return RunAsNobody(work).value_or("no user nobody");
}

} // namespace

TEST_F(ScriptBackupTest, AScriptInAReadOnlyDirectoryStaysWhereItIs)
{
    WriteFile(script, kUserText);
    ::chmod(script.c_str(), 0644);
    const std::string seen = WithoutWriteAccess(dir.Path(), [&] {
        const bool started = BackUpAndRewriteScript(script, journal, Rewriter());
        std::string result = started ? "started" : "stopped";
        for (const auto& text : boxes.Texts())
            result += "|" + text;
        return result;
    });
    EXPECT_EQ("stopped|" + kAccessDenied + "|Cannot rename file " + script + ".", seen);
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_FALSE(PathExists(backup));
}

// A file at the backup name that the journal does not hold as this script's backup: the user's
// own, or one whose entry names another backup or another script of the same stem.
class UnknownBackupTest : public ScriptBackupTest,
                          public ::testing::WithParamInterface<std::pair<std::string, std::string>> {};

TEST_P(UnknownBackupTest, IsNeitherMovedNorReplaced)
{
    if (!GetParam().first.empty()) {
        ASSERT_TRUE(journal.Record(dir.File(GetParam().first), dir.File(GetParam().second)));
    }
    WriteFile(script, kUserText);
    WriteFile(backup, "the user's own backup");
    EXPECT_FALSE(BackUpAndRewriteScript(script, journal, Rewriter()));
    EXPECT_FALSE(RestoreScript(script, journal));
    EXPECT_EQ(std::vector<std::string>(2, NotOurs(backup, script)), boxes.Texts());
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_EQ("the user's own backup", ReadFile(backup));
    EXPECT_TRUE(rewrites.empty());
}

INSTANTIATE_TEST_SUITE_P(ScriptBackup, UnknownBackupTest,
                         ::testing::Values(std::pair<std::string, std::string>(),
                                           std::pair<std::string, std::string>("login.scp", "login.bak"),
                                           std::pair<std::string, std::string>("login.chat", "LOGIN.BAK")));

TEST_F(ScriptBackupTest, TwoScriptsOfOneStemNeverTakeEachOthersBackup)
{
    const std::string scp = dir.File("isp.scp"), chat = dir.File("isp.chat"), shared = dir.File("ISP.BAK");
    WriteFile(scp, "scp text");
    WriteFile(chat, "chat text");
    ASSERT_TRUE(BackUpAndRewriteScript(scp, journal, Rewriter())); // and the run is killed

    EXPECT_FALSE(BackUpAndRewriteScript(chat, journal, Rewriter()));
    EXPECT_EQ(std::vector<std::string>{NotOurs(shared, chat)}, boxes.Texts());
    EXPECT_EQ("scp text", ReadFile(shared));
    EXPECT_EQ("chat text", ReadFile(chat));

    // At the next start the journal puts isp.scp back, and isp.chat can run.
    ASSERT_TRUE(RestoreJournalScripts(journal));
    EXPECT_EQ("scp text", ReadFile(scp));
    ASSERT_TRUE(BackUpAndRewriteScript(chat, journal, Rewriter()));
    ASSERT_TRUE(RestoreScript(chat, journal));
    EXPECT_EQ("chat text", ReadFile(chat));
    EXPECT_EQ(1u, boxes.Texts().size());
}

TEST_F(ScriptBackupTest, RestoreJournalScriptsPutsBackWhatItCanAndReportsTheRest)
{
    const std::string other = dir.File("other.scp");
    WriteFile(other, "other text");
    WriteFile(script, kUserText);
    ASSERT_TRUE(BackUpAndRewriteScript(other, journal, Rewriter()));
    ASSERT_TRUE(BackUpAndRewriteScript(script, journal, Rewriter()));
    std::filesystem::remove(dir.File("OTHER.BAK"));

    EXPECT_FALSE(RestoreJournalScripts(journal));
    EXPECT_EQ(std::vector<std::string>{kMissing}, boxes.Texts());
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_EQ((std::vector<JournalEntry>{{other, dir.File("OTHER.BAK")}}), journal.Entries());
    // Without an entry and without a file at the backup name the script is just missing.
    EXPECT_FALSE(RestoreScript(script, journal));
    EXPECT_EQ(kMissing, boxes.Texts().back());
}

TEST_F(ScriptBackupTest, ARunThatCannotBeRecordedStopsWithTheUserTextBack)
{
    WriteFile(script, kUserText);
    WriteFile(dir.File("file"), "");
    CRunJournal blocked(dir.File("file/run-journal"));
    const ScriptAtEachBox boxesSeen(script);
    EXPECT_FALSE(BackUpAndRewriteScript(script, blocked, Rewriter()));
    EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{
                  {"Cannot record the run in " + blocked.Path() + ".\nNot a directory", kUserText}}),
              boxesSeen.seen);
    EXPECT_FALSE(PathExists(backup));
    EXPECT_TRUE(rewrites.empty());
}

// Whoever else can change files in the script's folder could swap the user's text or feed the
// rewrite: such a folder is refused before anything moves. A sticky one (like /tmp) is not.
TEST_F(ScriptBackupTest, AFolderOthersCanChangeIsRefusedBeforeAnythingMoves)
{
    for (const unsigned mode : {0770u, 0777u, 01777u}) {
        SCOPED_TRACE(mode);
        const std::size_t shown = boxes.Texts().size();
        WriteFile(script, kUserText);
        ::chmod(dir.Path().c_str(), mode);
        const bool started = BackUpAndRewriteScript(script, journal, Rewriter());
        ::chmod(dir.Path().c_str(), 0700);
        if (mode & S_ISVTX) {
            EXPECT_TRUE(started);
            EXPECT_TRUE(RestoreScript(script, journal));
            continue;
        }
        EXPECT_FALSE(started);
        const std::vector<std::string> texts = boxes.Texts();
        ASSERT_EQ(shown + 1, texts.size());
        EXPECT_EQ((std::vector<std::string>{"Other users can change the files in " + dir.Path() + ", the folder of script " +
                                            script + ", so Trevalo writes no passcodes there.\nKeep the script in a "
                                            "folder that only you can change (for example, chmod go-w on the folder), "
                                            "then try again."}),
                  std::vector<std::string>(texts.begin() + static_cast<long>(shown), texts.end()));
        EXPECT_EQ(kUserText, ReadFile(script));
        EXPECT_FALSE(PathExists(backup));
    }
}
