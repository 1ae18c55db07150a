#pragma once

#include <functional>
#include <string>
#include <string_view>

// While a run lasts the user's script waits under its backup name, and the script path holds
// the text with live passcodes. These operations move it there and back.

// The backup name of a script: the directory part unchanged, the last component upper-cased
// up to its first "." and followed by ".BAK" ("/home/ann/login.scp" -> "/home/ann/LOGIN.BAK").
std::string MakeBackupName(std::string_view scriptPath);

// Moves `source` over `destination`. Returns 0, 2 when `source` is not an existing regular
// file, or the errno of the failed rename.
int MoveFileOver(const std::string& source, const std::string& destination);

// Shows the message for a move result and returns true when the caller may go on. `movedFile`
// is the file that was to be moved; it names the file in the message for an unexpected error.
bool ReportMoveResult(int result, const std::string& movedFile);

// Moves the backup of `scriptPath` back over it, reporting the result.
bool RestoreScript(const std::string& scriptPath);

// Rewrites the script from `backupPath` into `scriptPath`.
using ScriptRewriter = std::function<bool(const std::string& backupPath, const std::string& scriptPath)>;

// Before a run: moves a backup left by an interrupted run back, moves the script to its backup
// name and rewrites it with `rewrite`. Each failure shows its messages, leaves the user's text
// at the script path or at the backup name, and returns false.
bool BackUpAndRewriteScript(const std::string& scriptPath, const ScriptRewriter& rewrite);
