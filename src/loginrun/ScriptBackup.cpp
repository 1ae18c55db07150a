#include "ScriptBackup.h"

#include <framework/MessageBox.h>
#include <framework/StringTable.h>
#include <framework/WindowLookup.h>
#include <platform/FileSystem.h>
#include <platform/MultiByte.h>
#include <res/resource.h>

#include <cerrno>
#include <sys/stat.h>

namespace {

// The title of the window that an access-denied move brings forward.
constexpr const char* kProgramWindowTitle = "Trevalo";

// A script whose backup name is the script itself would be truncated by its own rewrite.
bool IsItsOwnBackup(const std::string& scriptPath, const std::string& backupPath)
{
    if (scriptPath == backupPath)
        return true;
    struct stat script {}, backup {};
    return ::stat(scriptPath.c_str(), &script) == 0 && ::stat(backupPath.c_str(), &backup) == 0 &&
           script.st_dev == backup.st_dev && script.st_ino == backup.st_ino;
}

// Anything at all under the name, even a directory or a dangling link, is in the way.
bool SomethingAt(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// Moves a backup left by an interrupted run back over the script. A failed move shows its
// message and then `followUp`; a file the journal does not know shows its own message only.
bool MoveStaleBackupBack(const std::string& scriptPath, const std::string& backupPath, CRunJournal& journal,
                         unsigned followUp)
{
    if (!SomethingAt(backupPath))
        return true;
    const int result = MoveScriptBack(scriptPath, journal);
    if (ReportScriptBack(result, scriptPath))
        return true;
    if (result != kBackupNotOurs)
        AfxMessageBox(FormatString2(followUp, backupPath, scriptPath));
    return false;
}

} // namespace

std::string MakeBackupName(std::string_view scriptPath)
{
    const std::size_t slash = scriptPath.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::string_view name = scriptPath.substr(nameStart);
    const std::string_view stem = name.substr(0, name.find('.'));
    return std::string(scriptPath.substr(0, nameStart)) + UpperCaseMultiByte(stem) + ".BAK";
}

int MoveFileOver(const std::string& source, const std::string& destination)
{
    if (!FileExists(source))
        return ENOENT;
    // rename() replaces the destination atomically, so there is no separate remove.
    return RenameFile(source, destination);
}

bool ReportMoveResult(int result, const std::string& movedFile)
{
    const std::unique_ptr<CFoundWindow> window = FindWindowByTitle(kProgramWindowTitle);
    switch (result) {
    case 0:
        return true;
    case ENOENT:
        AfxMessageBox(IDS_CANNOT_FIND_SCRIPT);
        return false;
    case EACCES:
        if (!window)
            AfxMessageBox(IDS_CANNOT_CREATE_BACKUP);
        else if (window->IsIconic())
            window->OpenIcon();
        else
            window->BringWindowToTop();
        return false;
    case EXDEV:
        AfxMessageBox(IDS_CANNOT_MOVE_TO_OTHER_DEVICE);
        return false;
    default:
        // Any other failure is a failure too: going on could leave passcodes in the script.
        AfxMessageBox(FormatString2(IDS_CANNOT_MOVE_FILE, movedFile, SystemErrorText(result)));
        return false;
    }
}

int MoveScriptBack(const std::string& scriptPath, CRunJournal& journal)
{
    const std::string backupPath = MakeBackupName(scriptPath);
    if (!journal.Knows(scriptPath, backupPath))
        return SomethingAt(backupPath) ? kBackupNotOurs : ENOENT;
    const int result = MoveFileOver(backupPath, scriptPath);
    // Only once the text is back: a backup out of reach (its directory moved away, a share not
    // mounted) may come back, and must then still be known as ours.
    if (result == 0)
        journal.Forget(scriptPath);
    return result;
}

bool ReportScriptBack(int result, const std::string& scriptPath)
{
    const std::string backupPath = MakeBackupName(scriptPath);
    if (result != kBackupNotOurs)
        return ReportMoveResult(result, backupPath);
    AfxMessageBox(FormatString2(IDS_BACKUP_NOT_OURS, backupPath, scriptPath));
    return false;
}

bool RestoreScript(const std::string& scriptPath, CRunJournal& journal)
{
    return ReportScriptBack(MoveScriptBack(scriptPath, journal), scriptPath);
}

bool RestoreJournalScripts(CRunJournal& journal, std::string_view except)
{
    bool allBack = true;
    for (const JournalEntry& entry : journal.Entries())
        if (entry.script != except)
            allBack = RestoreScript(entry.script, journal) && allBack;
    return allBack;
}

bool BackUpAndRewriteScript(const std::string& scriptPath, CRunJournal& journal, const ScriptRewriter& rewrite)
{
    const std::string backupPath = MakeBackupName(scriptPath);
    if (IsItsOwnBackup(scriptPath, backupPath)) {
        AfxMessageBox(IDS_SCRIPT_INVALID_OR_MISSING);
        return false;
    }
    // Another user who can swap files there could take the user's text or feed the rewrite.
    if (const std::string folder = DirectoryOf(scriptPath); OthersCanChangeFilesIn(folder)) {
        AfxMessageBox(FormatString2(IDS_FOLDER_NOT_PRIVATE, folder, scriptPath));
        return false;
    }
    if (!MoveStaleBackupBack(scriptPath, backupPath, journal, IDS_SCRIPT_INVALID_OR_MISSING) ||
        !MoveStaleBackupBack(scriptPath, backupPath, journal, IDS_STALE_BACKUP_EXISTS))
        return false;
    if (!ReportMoveResult(MoveFileOver(scriptPath, backupPath), scriptPath)) {
        AfxMessageBox(FormatString1(IDS_CANNOT_RENAME_FILE, scriptPath));
        return false;
    }
    // Recorded after the move: a crash in between leaves the user's text under a name the
    // journal does not know, which is refused, never lost.
    if (!journal.Record(scriptPath, backupPath)) {
        const int movedBack = MoveFileOver(backupPath, scriptPath);
        AfxMessageBox(FormatString2(IDS_JOURNAL_WRITE_FAILED, journal.Path(), SystemErrorText(journal.LastError())));
        ReportMoveResult(movedBack, backupPath);
        return false;
    }
    if (!rewrite(backupPath, scriptPath)) {
        // The user's text goes back before any message can wait with passcodes on disk.
        const int movedBack = MoveScriptBack(scriptPath, journal);
        AfxMessageBox(FormatString1(IDS_CANNOT_WRITE_FILE, scriptPath));
        ReportScriptBack(movedBack, scriptPath);
        return false;
    }
    return true;
}
