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

// Moves a backup found at `backupPath` back over the script; true when there was none or it moved.
bool MoveStaleBackupBack(const std::string& backupPath, const std::string& scriptPath)
{
    if (!FileExists(backupPath))
        return true;
    return ReportMoveResult(MoveFileOver(backupPath, scriptPath), backupPath);
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

bool RestoreScript(const std::string& scriptPath)
{
    const std::string backupPath = MakeBackupName(scriptPath);
    return ReportMoveResult(MoveFileOver(backupPath, scriptPath), backupPath);
}

bool BackUpAndRewriteScript(const std::string& scriptPath, const ScriptRewriter& rewrite)
{
    const std::string backupPath = MakeBackupName(scriptPath);
    if (IsItsOwnBackup(scriptPath, backupPath)) {
        AfxMessageBox(IDS_SCRIPT_INVALID_OR_MISSING);
        return false;
    }
    if (!MoveStaleBackupBack(backupPath, scriptPath)) {
        AfxMessageBox(IDS_SCRIPT_INVALID_OR_MISSING);
        return false;
    }
    if (!MoveStaleBackupBack(backupPath, scriptPath)) {
        AfxMessageBox(FormatString2(IDS_STALE_BACKUP_EXISTS, backupPath, scriptPath));
        return false;
    }
    if (!ReportMoveResult(MoveFileOver(scriptPath, backupPath), scriptPath)) {
        AfxMessageBox(FormatString1(IDS_CANNOT_RENAME_FILE, scriptPath));
        return false;
    }
    if (!rewrite(backupPath, scriptPath)) {
        AfxMessageBox(FormatString1(IDS_CANNOT_WRITE_FILE, scriptPath));
        RestoreScript(scriptPath);
        return false;
    }
    return true;
}
