#include "ScriptRun.h"

#include "RunSteps.h"
#include "ScriptBackup.h"

#include <framework/MessageBox.h>
#include <framework/StringTable.h>
#include <platform/FileSystem.h>
#include <res/resource.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What message 172 says of a journal that cannot record a run.
std::string JournalErrorText(int error)
{
    std::string text;
    if (error == EBADMSG && LoadString(IDS_JOURNAL_NOT_A_JOURNAL, text))
        return text;
    if (error == EWOULDBLOCK && LoadString(IDS_JOURNAL_HELD_BY_ANOTHER, text))
        return text;
    return SystemErrorText(error);
}

// The script as a run may move it: 0, ENOENT for anything but a regular file (never moved),
// EPERM for another user's file (which the restore would never move back).
int CheckMovable(const struct stat& script)
{
    if (!S_ISREG(script.st_mode))
        return ENOENT;
    return script.st_uid == ::geteuid() ? 0 : EPERM;
}

bool RefuseToMove(int error, const std::string& scriptPath)
{
    ReportMoveResult(error, scriptPath);
    AfxMessageBox(FormatString1(IDS_CANNOT_RENAME_FILE, scriptPath));
    return false;
}

} // namespace

std::unique_ptr<CScriptRun> CScriptRun::Start(const std::string& scriptPath, CRunJournal& journal,
                                              const ScriptRewriter& rewrite)
{
    std::unique_ptr<CScriptRun> run(new CScriptRun(journal));
    if (!run->HoldFolder(scriptPath) || !run->SettleEarlierRun(scriptPath) || !run->MoveAside(scriptPath))
        return nullptr;
    if (!run->Rewrite(rewrite)) {
        // The user's text goes back before any message can wait with passcodes on disk.
        const int movedBack = run->MoveBack();
        AfxMessageBox(FormatString1(IDS_CANNOT_WRITE_FILE, scriptPath));
        ReportScriptBack(movedBack, scriptPath);
        return nullptr;
    }
    return run;
}

bool CScriptRun::HoldFolder(const std::string& scriptPath)
{
    const int error = HoldScriptFolder(m_folder, scriptPath);
    if (error == EINVAL || error == EPERM)
        return false;
    if (error != 0)
        return RefuseToMove(error, scriptPath);
    // A script whose backup name is the script itself would be truncated by its own rewrite.
    const std::string scriptName = NameOf(scriptPath), backupName = NameOf(MakeBackupName(scriptPath));
    struct stat script {};
    struct stat backup {};
    if (scriptName == backupName || (m_folder.Stat(scriptName, script) == 0 && m_folder.Stat(backupName, backup) == 0 &&
                                     IdentityOf(script) == IdentityOf(backup))) {
        AfxMessageBox(IDS_SCRIPT_INVALID_OR_MISSING);
        return false;
    }
    return true;
}

bool CScriptRun::SettleEarlierRun(const std::string& scriptPath)
{
    const std::string backupPath = MakeBackupName(scriptPath);
    // First check: the text an interrupted run of this script left, as the journal knows it. When
    // it is in neither place, this run's record takes the place of that one.
    if (const std::optional<JournalEntry> earlier = m_journal.Find(scriptPath)) {
        if (earlier->folder != m_folder.Identity()) {
            if (!AskToForget(*earlier, m_journal))
                return false;
        } else if (const int result = MoveScriptBack(m_folder, *earlier, m_journal); result != 0 && result != ENOENT) {
            ReportScriptBack(result, scriptPath);
            AfxMessageBox(IDS_SCRIPT_INVALID_OR_MISSING);
            return false;
        }
    }
    // Second check: anything else at the backup name is not known to be the user's text.
    struct stat backup {};
    if (m_folder.Stat(NameOf(backupPath), backup) != 0)
        return true;
    const int result = OfferUnknownBackup(m_folder, scriptPath, m_journal);
    if (result == kNotMovedBack)
        return false;
    if (!ReportMoveResult(result, backupPath)) {
        AfxMessageBox(FormatString2(IDS_STALE_BACKUP_EXISTS, backupPath, scriptPath));
        return false;
    }
    return true;
}

bool CScriptRun::MoveAside(const std::string& scriptPath)
{
    const std::string scriptName = NameOf(scriptPath);
    struct stat script {};
    int error = m_folder.Stat(scriptName, script);
    if (error == 0)
        error = CheckMovable(script);
    if (error != 0)
        return RefuseToMove(error, scriptPath);
    // The rename keeps the file's identity: recorded before the move, it is what the restore
    // knows the user's text by, wherever a crash stops the run.
    m_entry = MakeRunEntry(scriptPath, m_folder.Identity(), IdentityOf(script));
    if (!m_journal.Record(m_entry)) {
        AfxMessageBox(
            FormatString2(IDS_JOURNAL_WRITE_FAILED, m_journal.Path(), JournalErrorText(m_journal.LastError())));
        return false;
    }
    ReachRunStep(RunStep::Recorded);
    if (error = m_folder.Rename(scriptName, m_entry.backupName, true); error != 0) {
        m_journal.Forget(scriptPath);
        return RefuseToMove(error, scriptPath);
    }
    ReachRunStep(RunStep::MovedAside);
    return true;
}

bool CScriptRun::Rewrite(const ScriptRewriter& rewrite) const
{
    return rewrite(m_folder, m_entry);
}

int CScriptRun::MoveBack()
{
    // Settled already: the journal no longer owes this text (another restore put it back).
    if (m_journal.Find(m_entry.script) != m_entry && m_journal.Readable())
        return 0;
    return MoveScriptBack(m_folder, m_entry, m_journal);
}

bool CScriptRun::Restore()
{
    return ReportScriptBack(MoveBack(), m_entry.script);
}
