#include "RunFiles.h"

#include <loginrun/ScriptBackup.h>
#include <loginrun/ScriptRewrite.h>
#include <loginrun/ScriptRun.h>

#include <framework/WindowLookup.h>

#include <AsNobody.h>
#include <ChildProcess.h>
#include <MessageBoxRecorder.h>
#include <TempDir.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string kUserText = "ATZ\r\nlogin: #$USER_NAME#$\r\npassword: #$PASSCODE#$\r\n";
const std::string kPin = "4444";
const PlaceholderValues kValues{"4444123456", "4444654321", "123456", kPin, "000123", "ann"};
const std::string kRewritten = "ATZ\nlogin: ann\npassword: 4444123456\n";
const std::string kMissing = "Cannot find the script file.";
const std::string kAccessDenied = "Cannot create a script file backup. \nExit the application and try again.";

std::string InTheWay(const std::string& backup, const std::string& script)
{
    return "The file " + backup + " is in the way: a run keeps the text of script " + script +
           " under that name, but this is not a file of yours, and Trevalo leaves it alone.\nMove or rename " + backup +
           ", then try again.";
}

std::string OfferToMoveBack(const std::string& backup, const std::string& script)
{
    return "The file " + backup + " is where a run keeps the text of script " + script +
           ", but Trevalo has no record of putting it there. It may hold the text of the script from an interrupted "
           "run or from an earlier version of Trevalo.\nMove " +
           backup + " back to " + script + ", in place of what is there now?";
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
    ScriptBackupTest() { journal.Lock(); }

    // The real rewrite, with fixed values; it notes whether the journal held the run by then.
    ScriptRewriter Rewriter(bool succeed = true)
    {
        return [this, succeed](const CHeldFolder& folder, const JournalEntry& entry) {
            recordedAtRewrite.push_back(journal.Find(entry.script) == entry);
            return succeed && CopyScriptWithValues(folder, entry, kValues);
        };
    }

    // The texts of the boxes shown after the first `shown`.
    std::vector<std::string> TextsAfter(std::size_t shown) const
    {
        const std::vector<std::string> texts = boxes.Texts();
        return {texts.begin() + static_cast<long>(shown), texts.end()};
    }

    std::unique_ptr<CScriptRun> Start(const std::string& path) { return CScriptRun::Start(path, journal, Rewriter()); }

    TempDir dir;
    std::string script = dir.File("login.scp");
    std::string backup = dir.File("LOGIN.BAK");
    CRunJournal journal{dir.File("run-journal")};
    MessageBoxRecorder boxes;
    WindowDouble window;
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

TEST_F(ScriptBackupTest, ARunMovesTheUserTextAsideAndRecordsItFirst)
{
    WriteFile(script, kUserText);
    struct stat user {};
    ASSERT_EQ(0, ::stat(script.c_str(), &user));
    const std::unique_ptr<CScriptRun> run = Start(script);
    ASSERT_TRUE(run);
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_EQ(kUserText, ReadFile(backup));
    EXPECT_EQ(kRewritten, ReadFile(script));
    // Recorded before the passcodes are written, with the file it moved aside.
    EXPECT_EQ(std::vector<bool>{true}, recordedAtRewrite);
    ASSERT_EQ(1u, journal.Entries().size());
    EXPECT_EQ(IdentityOf(user), journal.Entries()[0].backup);

    ASSERT_TRUE(run->Restore());
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_EQ(std::vector<std::string>{}, FilesHolding(dir.Path(), {kPin}));
    EXPECT_FALSE(PathExists(backup));
    EXPECT_TRUE(journal.Entries().empty());
}

TEST_F(ScriptBackupTest, AKilledRunIsPutBackSilentlyBeforeTheNextOne)
{
    WriteFile(script, kUserText);
    ASSERT_TRUE(Start(script)); // and the run is killed
    ASSERT_TRUE(Start(script));
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_EQ(kUserText, ReadFile(backup));
    EXPECT_EQ(kRewritten, ReadFile(script));
}

// What cannot be moved aside stops the run before anything moves.
TEST_F(ScriptBackupTest, WhatIsNoScriptOfTheUsersStopsTheRun)
{
    const std::string cannotRename = "Cannot rename file " + script + ".";
    const struct {
        const char* what;
        std::function<void()> make;
        std::string path;
        std::vector<std::string> texts;
    } cases[] = {
        {"nothing", [] {}, script, {kMissing, cannotRename}},
        {"a folder", [&] { std::filesystem::create_directory(script); }, script, {kMissing, cannotRename}},
        {"a relative path",
         [&] { WriteFile(script, kUserText); },
         "login.scp",
         {"The script file path login.scp is not a full path.\nEnter the whole path of the script, starting with /."}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        std::filesystem::remove_all(script);
        test.make();
        const std::size_t shown = boxes.Texts().size();
        EXPECT_FALSE(Start(test.path));
        EXPECT_EQ(test.texts, TextsAfter(shown));
        EXPECT_TRUE(recordedAtRewrite.empty());
        EXPECT_FALSE(PathExists(backup));
    }
}

TEST_F(ScriptBackupTest, AFailedRewritePutsTheUserTextBackBeforeTheMessage)
{
    WriteFile(script, kUserText);
    const ScriptAtEachBox boxesSeen(script);
    EXPECT_FALSE(CScriptRun::Start(script, journal, Rewriter(false)));
    EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{{"Cannot write to file " + script + ".", kUserText}}),
              boxesSeen.seen);
    EXPECT_FALSE(PathExists(backup));
    EXPECT_TRUE(journal.Entries().empty());
}

TEST_F(ScriptBackupTest, AFailedRewriteReportsAFailedRestoreToo)
{
    WriteFile(script, kUserText);
    const auto losesBackup = [&](const CHeldFolder&, const JournalEntry&) {
        std::filesystem::rename(backup, dir.File("elsewhere"));
        return false;
    };
    EXPECT_FALSE(CScriptRun::Start(script, journal, losesBackup));
    EXPECT_EQ((std::vector<std::string>{"Cannot write to file " + script + ".", kMissing}), boxes.Texts());
    // The backup may come back (a file moved aside and back): it stays known as ours.
    EXPECT_EQ(1u, journal.Entries().size());
}

TEST_F(ScriptBackupTest, AKilledRunsTextThatCannotMoveBackStopsTheRun)
{
    WriteFile(script, kUserText);
    ASSERT_TRUE(Start(script)); // and the run is killed
    // The script path has become a folder: the backup cannot be moved over it.
    std::filesystem::remove(script);
    std::filesystem::create_directory(script);
    EXPECT_FALSE(Start(script));
    const auto texts = boxes.Texts();
    ASSERT_EQ(2u, texts.size());
    EXPECT_EQ(0u, texts[0].rfind("Cannot move file " + backup + ".\n", 0)) << texts[0];
    EXPECT_EQ("The script path or script file is invalid or missing.\nCheck your configuration settings.", texts[1]);
    EXPECT_EQ(kUserText, ReadFile(backup));
}

TEST_F(ScriptBackupTest, AScriptThatIsItsOwnBackupIsRefused)
{
    WriteFile(backup, kUserText);
    EXPECT_FALSE(Start(backup));
    EXPECT_EQ(1u, boxes.Texts().size());
    EXPECT_EQ(kUserText, ReadFile(backup));

    // A hard link under the backup name is the same file as well.
    std::filesystem::remove(backup);
    WriteFile(script, kUserText);
    std::filesystem::create_hard_link(script, backup);
    EXPECT_FALSE(Start(script));
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_TRUE(recordedAtRewrite.empty());
}

TEST_F(ScriptBackupTest, AScriptInAFolderTheUserCannotWriteStaysWhereItIs)
{
    WriteFile(script, kUserText);
    ::chmod(dir.Path().c_str(), 0755);
    std::filesystem::create_directory(dir.File("nobody"));
    ASSERT_EQ(0, ::chown(dir.File("nobody").c_str(), 65534, 65534));
    const auto startAsNobody = [&] {
        return RunAsNobody([&] {
            CRunJournal own(dir.File("nobody/run-journal"));
            own.Lock();
            std::string result = CScriptRun::Start(script, own, Rewriter()) ? "started" : "stopped";
            for (const auto& text : boxes.Texts())
                result += "|" + text;
            return result;
        });
    };
    const std::optional<std::string> rootsScript = startAsNobody();
    if (!rootsScript)
        GTEST_SKIP() << "needs root and the user nobody";
    // A file of another user's is never moved: the restore would never move it back.
    EXPECT_EQ("stopped|Cannot move file " + script + ".\nOperation not permitted|Cannot rename file " + script + ".",
              *rootsScript);
    ASSERT_EQ(0, ::chown(script.c_str(), 65534, 65534));
    EXPECT_EQ("stopped|" + kAccessDenied + "|Cannot rename file " + script + ".", startAsNobody());
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_FALSE(PathExists(backup));
}

namespace {

std::string FolderGone(const std::string& folder, const std::string& script)
{
    return "Trevalo cannot reach " + folder + ", the folder of script " + script +
           ", as an interrupted run left it: it was removed, moved, replaced or is not mounted. The text of the script "
           "may still wait there under another name.\nForget this run? Choose No to look for it again at the next "
           "start.";
}

bool CanActAsNobody()
{
    return ::geteuid() == 0 && ::getpwnam("nobody") != nullptr;
}

} // namespace

// A file at the backup name that the journal does not hold as this script's text: the user's
// own (left by an earlier version of Trevalo, say) is offered back; anything else stays.
TEST_F(ScriptBackupTest, AnUnknownFileAtTheBackupNameIsOfferedBackOnlyWhenItIsTheUsers)
{
    const std::string offer = OfferToMoveBack(backup, script), inTheWay = InTheWay(backup, script);
    struct Case {
        std::function<void()> make;
        int answer;
        std::string text;
    };
    std::vector<Case> cases = {
        {[&] { WriteFile(backup, "old text"); }, IDNO, offer},
        {[&] { WriteFile(backup, "old text"); }, IDYES, offer}, // the one run that starts
        {[&] { std::filesystem::create_directory(backup); }, IDYES, inTheWay},
    };
    if (::geteuid() == 0)
        cases.push_back({[&] {
                             WriteFile(backup, "old text");
                             ASSERT_EQ(0, ::chown(backup.c_str(), 65534, 65534));
                         },
                         IDYES, inTheWay});
    for (const Case& test : cases) {
        std::filesystem::remove_all(backup);
        WriteFile(script, kUserText);
        test.make();
        boxes.QueueAnswer(test.answer);
        const std::unique_ptr<CScriptRun> run = Start(script);
        EXPECT_EQ(test.text, boxes.Texts().back());
        EXPECT_EQ(run ? "old text" : kUserText, ReadFile(run ? backup : script));
        EXPECT_TRUE(!run || run->Restore());
    }
    EXPECT_EQ(1u, recordedAtRewrite.size());
}

TEST_F(ScriptBackupTest, TwoScriptsOfOneStemNeverTakeEachOthersText)
{
    const std::string scp = dir.File("isp.scp"), chat = dir.File("isp.chat"), shared = dir.File("ISP.BAK");
    WriteFile(scp, "scp text");
    WriteFile(chat, "chat text");
    ASSERT_TRUE(Start(scp)); // and the run is killed

    EXPECT_FALSE(Start(chat));
    EXPECT_EQ(std::vector<std::string>{InTheWay(shared, chat)}, boxes.Texts());
    EXPECT_EQ("scp text", ReadFile(shared));
    EXPECT_EQ("chat text", ReadFile(chat));

    // At the next start the journal puts isp.scp back, and isp.chat can run.
    RestoreJournalScripts(journal);
    EXPECT_EQ("scp text", ReadFile(scp));
    const std::unique_ptr<CScriptRun> run = Start(chat);
    ASSERT_TRUE(run && run->Restore());
    EXPECT_EQ("chat text", ReadFile(chat));
    EXPECT_EQ(1u, boxes.Texts().size());
}

TEST_F(ScriptBackupTest, AtStartUpEveryKilledRunIsPutBackOrReported)
{
    const std::string other = dir.File("other.scp");
    WriteFile(other, "other text");
    WriteFile(script, kUserText);
    ASSERT_TRUE(Start(other));  // and the run is killed
    ASSERT_TRUE(Start(script)); // and the run is killed
    std::filesystem::remove(dir.File("OTHER.BAK"));

    RestoreJournalScripts(journal);
    EXPECT_EQ(std::vector<std::string>{kMissing}, boxes.Texts());
    EXPECT_EQ(kUserText, ReadFile(script));
    ASSERT_EQ(1u, journal.Entries().size());
    EXPECT_EQ(other, journal.Entries()[0].script);
}

TEST_F(ScriptBackupTest, ARunThatCannotBeRecordedMovesNothing)
{
    WriteFile(script, kUserText);
    WriteFile(dir.File("damaged"), "garbage");
    WriteFile(dir.File("file"), "");
    for (const auto& [path, reason] : std::vector<std::pair<std::string, std::string>>{
             {dir.File("damaged"), "This file is not a run journal of Trevalo. Move it away, then try again."},
             {dir.File("file/run-journal"), "Not a directory"},
             {journal.Path(), "Another Trevalo of yours runs and keeps this journal. Use that Trevalo, or end it "
                              "and try again."}}) {
        CRunJournal unusable(path);
        unusable.Lock();
        EXPECT_FALSE(CScriptRun::Start(script, unusable, Rewriter()));
        EXPECT_EQ("Cannot record the run in " + path + ".\n" + reason, boxes.Texts().back());
        EXPECT_EQ(kUserText, ReadFile(script));
    }
    EXPECT_EQ(3u, boxes.Texts().size());
}

// Whoever else can change what is in the script's folder, or in one above it, could swap the
// user's text or feed the rewrite: such a folder is refused before anything moves.
TEST_F(ScriptBackupTest, AFolderOthersCanChangeIsRefusedBeforeAnythingMoves)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give folders to other users and groups";
    const std::string parent = dir.File("parent"), folder = parent + "/scripts";
    std::filesystem::create_directories(folder);
    script = folder + "/login.scp";
    backup = folder + "/LOGIN.BAK";
    struct Case {
        mode_t parentMode, folderMode;
        uid_t owner;
        gid_t group;
        std::string refused;
        std::string accessList = "u::rwx";
    };
    std::vector<Case> cases = {
        {0755, 0700, 0, 0, ""},         {0755, 01777, 0, 0, ""},        {01777, 0700, 0, 0, ""},
        {0755, 0775, 0, 0, ""},         {0755, 0777, 0, 0, folder},     {0777, 0700, 0, 0, parent},
        {0755, 0700, 65534, 0, folder}, {0755, 0775, 0, 65534, folder}, // nogroup: nobody's own group
    };
    // A group with a member besides this user, when the system has one.
    for (::setgrent(); const group* entry = ::getgrent();)
        if (entry->gr_mem[0] && std::string(entry->gr_mem[0]) != "root") {
            cases.push_back({0755, 0775, 0, entry->gr_gid, folder});
            break;
        }
    ::endgrent();
    cases.push_back({0755, 0775, 0, 0, folder, "u:nobody:rwx"});
    for (const Case& test : cases) {
        SCOPED_TRACE(std::to_string(test.folderMode) + " " + std::to_string(test.group) + " in " +
                     std::to_string(test.parentMode));
        WriteFile(script, kUserText);
        ::chmod(parent.c_str(), test.parentMode);
        ASSERT_EQ(0, ::chown(folder.c_str(), test.owner, test.group));
        ::chmod(folder.c_str(), test.folderMode);
        ASSERT_EQ(0, RunToEnd({"/usr/bin/setfacl", "-m", test.accessList, folder}));
        const std::size_t shown = boxes.Texts().size();
        const std::unique_ptr<CScriptRun> run = Start(script);
        const std::vector<std::string> texts = TextsAfter(shown);
        if (test.refused.empty()) {
            EXPECT_TRUE(run && run->Restore());
            EXPECT_TRUE(texts.empty());
        } else {
            EXPECT_FALSE(run);
            EXPECT_EQ(std::vector<std::string>{"Other users can change the files in " + test.refused +
                                               ", on the way to script " + script +
                                               ", so Trevalo writes no passcodes there.\nKeep the script in a folder "
                                               "that only you can change, in folders that only you or the system can "
                                               "change (for example, chmod go-w on the folder), then try again."},
                      texts);
            EXPECT_FALSE(PathExists(backup));
        }
        EXPECT_EQ(kUserText, ReadFile(script));
    }
}

// Another user who can write the parent swaps the user's folder for one of their own during the
// run, with a "backup" in it: nothing of theirs is moved, and the user's text comes back in the
// user's own folder, wherever that is now.
TEST_F(ScriptBackupTest, AFolderSwappedDuringARunRedirectsNothing)
{
    if (!CanActAsNobody())
        GTEST_SKIP() << "needs root and the user nobody";
    const std::string parent = dir.File("parent"), folder = parent + "/scripts", moved = parent + "/moved";
    std::filesystem::create_directories(folder);
    ::chmod(dir.Path().c_str(), 0755);
    script = folder + "/login.scp";
    WriteFile(script, kUserText);
    const std::unique_ptr<CScriptRun> run = Start(script);
    ASSERT_TRUE(run);
    ::chmod(parent.c_str(), 0777);
    EXPECT_EQ("swapped", RunAsNobody([&] {
                  std::filesystem::rename(folder, moved);
                  std::filesystem::create_directory(folder);
                  WriteFile(folder + "/LOGIN.BAK", "stranger's text");
                  WriteFile(script, "stranger's script");
                  return "swapped";
              }));
    RestoreJournalScripts(journal); // as the next start would, after a crash
    EXPECT_EQ(1u, journal.Entries().size());
    ASSERT_TRUE(run->Restore());
    EXPECT_EQ(kUserText, ReadFile(moved + "/login.scp"));
    EXPECT_EQ("stranger's text", ReadFile(folder + "/LOGIN.BAK"));
    EXPECT_EQ("stranger's script", ReadFile(script));
    EXPECT_EQ(std::vector<std::string>{}, FilesHolding(parent, {kPin}));
    EXPECT_EQ(std::vector<std::string>{FolderGone(folder, script)}, boxes.Texts());
}

// A crash between the restore's move and the journal's update leaves an entry whose text is
// back. In a sticky folder another user then puts a file at the backup name: it never moves.
TEST_F(ScriptBackupTest, AStaleEntryNeverMovesAStrangersFile)
{
    if (!CanActAsNobody())
        GTEST_SKIP() << "needs root and the user nobody";
    const std::string shared = dir.File("shared");
    std::filesystem::create_directory(shared);
    ::chmod(dir.Path().c_str(), 0755);
    ::chmod(shared.c_str(), 01777);
    script = shared + "/login.scp";
    backup = shared + "/LOGIN.BAK";
    WriteFile(script, kUserText);
    ASSERT_TRUE(Start(script)); // and the run is killed
    std::filesystem::rename(backup, script);
    RunAsNobody([&] {
        WriteFile(backup, "stranger's text");
        return "";
    });

    RestoreJournalScripts(journal);
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_TRUE(journal.Entries().empty());
    EXPECT_FALSE(Start(script));
    EXPECT_EQ(std::vector<std::string>{InTheWay(backup, script)}, boxes.Texts());
    EXPECT_EQ(kUserText, ReadFile(script));
    EXPECT_EQ("stranger's text", ReadFile(backup));
    EXPECT_EQ(std::vector<std::string>{}, FilesHolding(shared, {kPin}));
}

TEST_F(ScriptBackupTest, ARunWhoseFolderIsOutOfReachIsAskedAboutAtStartUp)
{
    std::filesystem::create_directory(dir.File("scripts"));
    script = dir.File("scripts/login.scp");
    WriteFile(script, kUserText);
    ASSERT_TRUE(Start(script)); // and the run is killed
    std::filesystem::rename(dir.File("scripts"), dir.File("away"));
    boxes.QueueAnswer(IDYES); // No keeps it: see AFolderSwappedDuringARunRedirectsNothing
    RestoreJournalScripts(journal);
    EXPECT_TRUE(journal.Entries().empty());
    EXPECT_EQ(std::vector<std::string>{FolderGone(dir.File("scripts"), script)}, boxes.Texts());
    EXPECT_EQ(kUserText, ReadFile(dir.File("away/LOGIN.BAK")));
}
