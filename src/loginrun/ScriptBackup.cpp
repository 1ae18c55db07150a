#include "ScriptBackup.h"

#include "RunSteps.h"

#include <framework/MessageBox.h>
#include <framework/StringTable.h>
#include <framework/WindowLookup.h>
#include <platform/FileSystem.h>
#include <res/resource.h>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace {

// The title of the window that an access-denied move brings forward.
constexpr const char* kProgramWindowTitle = "Trevalo";

// A result of MoveScriptBackByPath: the folder at the script's path is not the one the run left
// its files in (removed, moved away, replaced, not mounted), or it cannot be opened.
constexpr int kFolderChanged = -2;

int MoveScriptBackByPath(const JournalEntry& entry, CRunJournal& journal)
{
    CHeldFolder folder;
    if (folder.Open(DirectoryOf(entry.script)) != 0 || folder.Identity() != entry.folder)
        return kFolderChanged;
    return MoveScriptBack(folder, entry, journal);
}

void RestoreEntries(CRunJournal& journal, std::string_view except, bool askAboutUnreachable)
{
    // The copy that does not hold the journal may be beside another copy's run.
    if (!journal.Locked())
        return;
    for (const JournalEntry& entry : journal.Entries()) {
        if (entry.script == except)
            continue;
        const int result = MoveScriptBackByPath(entry, journal);
        if (result != kFolderChanged)
            ReportScriptBack(result, entry.script);
        else if (askAboutUnreachable)
            AskToForget(entry, journal);
    }
}

} // namespace

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

int HoldScriptFolder(CHeldFolder& folder, const std::string& scriptPath)
{
    // A relative path would name a file in whatever folder Trevalo happens to start in.
    if (!scriptPath.starts_with('/')) {
        AfxMessageBox(FormatString1(IDS_SCRIPT_PATH_NOT_FULL, scriptPath));
        return EINVAL;
    }
    const int error = folder.Open(DirectoryOf(scriptPath));
    // Another user who can change that folder or one above it could swap the user's text or
    // feed the rewrite.
    if (error == EPERM)
        AfxMessageBox(FormatString2(IDS_FOLDER_NOT_PRIVATE, folder.RefusedFolder(), scriptPath));
    return error;
}

int MoveScriptBack(const CHeldFolder& folder, const JournalEntry& entry, CRunJournal& journal)
{
    const std::string scriptName = NameOf(entry.script);
    folder.RemoveOwnFile(entry.newName);
    if (folder.HoldsOwnFile(entry.backupName, entry.backup)) {
        if (const int error = folder.Rename(entry.backupName, scriptName); error != 0)
            return error;
        ReachRunStep(RunStep::MovedBack);
    } else if (!folder.HoldsOwnFile(scriptName, entry.backup)) {
        // Only once the text is back: a backup out of reach (a share not mounted, a file the
        // user moved aside) may come back, and must then still be known as ours.
        return ENOENT;
    }
    journal.Forget(entry.script);
    return 0;
}

bool ReportScriptBack(int result, const std::string& scriptPath)
{
    return ReportMoveResult(result, MakeBackupName(scriptPath));
}

int OfferUnknownBackup(const CHeldFolder& folder, const std::string& scriptPath, const CRunJournal& journal)
{
    const std::string backupPath = MakeBackupName(scriptPath);
    const std::string backupName = NameOf(backupPath);
    struct stat backup {};
    const auto othersText = [&](const JournalEntry& entry) {
        return entry.folder == folder.Identity() && entry.backup == IdentityOf(backup);
    };
    const std::vector<JournalEntry> entries = journal.Entries();
    if (folder.Stat(backupName, backup) != 0 || !IsOwnFile(backup) ||
        std::any_of(entries.begin(), entries.end(), othersText)) {
        AfxMessageBox(FormatString2(IDS_BACKUP_IN_THE_WAY, backupPath, scriptPath));
        return kNotMovedBack;
    }
    if (AfxMessageBox(FormatString2(IDS_BACKUP_NOT_OURS, backupPath, scriptPath), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return kNotMovedBack;
    return folder.Rename(backupName, NameOf(scriptPath));
}

bool AskToForget(const JournalEntry& entry, CRunJournal& journal)
{
    return AfxMessageBox(FormatString2(IDS_RUN_FOLDER_GONE, DirectoryOf(entry.script), entry.script),
                         MB_YESNO | MB_ICONQUESTION) == IDYES &&
           journal.Forget(entry.script);
}

void RestoreJournalScripts(CRunJournal& journal)
{
    RestoreEntries(journal, {}, true);
}

void RestoreOwedScripts(CRunJournal& journal, std::string_view runScript)
{
    RestoreEntries(journal, runScript, false);
}

bool RestoreScript(const std::string& scriptPath, CRunJournal& journal)
{
    if (const std::optional<JournalEntry> entry = journal.Locked() ? journal.Find(scriptPath) : std::nullopt) {
        const int result = MoveScriptBackByPath(*entry, journal);
        if (result == kFolderChanged)
            return AskToForget(*entry, journal);
        return ReportScriptBack(result, scriptPath);
    }
    CHeldFolder folder;
    struct stat backup {};
    if (const int error = HoldScriptFolder(folder, scriptPath); error != 0) {
        if (error != EINVAL && error != EPERM)
            ReportMoveResult(error, scriptPath);
        return false;
    }
    if (folder.Stat(NameOf(MakeBackupName(scriptPath)), backup) != 0)
        return ReportMoveResult(ENOENT, scriptPath);
    const int result = OfferUnknownBackup(folder, scriptPath, journal);
    return result != kNotMovedBack && ReportScriptBack(result, scriptPath);
}
