#pragma once

#include "RunJournal.h"

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

// A result of MoveScriptBack besides 0 and an errno: a file is at the backup name, but the
// journal does not know it as this script's backup.
inline constexpr int kBackupNotOurs = -1;

// Moves the backup of `scriptPath` back over it when `journal` knows the pair, and forgets the
// pair once the text is back. Shows nothing, so that a caller can move
// every script back before the first message waits. Returns 0, the errno of the move (2 when
// there is nothing to move back), or kBackupNotOurs for a file it leaves alone.
int MoveScriptBack(const std::string& scriptPath, CRunJournal& journal);

// Shows the message for a result of MoveScriptBack and returns true when it is 0.
bool ReportScriptBack(int result, const std::string& scriptPath);

// Moves the backup of `scriptPath` back over it and reports the result.
bool RestoreScript(const std::string& scriptPath, CRunJournal& journal);

// Restores every script the journal holds but `except`, silently when it works and with the
// message of each failure otherwise. True when all came back. An unreadable journal holds none
// here; see CRunJournal::Readable.
bool RestoreJournalScripts(CRunJournal& journal, std::string_view except = {});

// Rewrites the script from `backupPath` into `scriptPath`.
using ScriptRewriter = std::function<bool(const std::string& backupPath, const std::string& scriptPath)>;

// Before a run: moves a backup of an interrupted run back, moves the script to its backup name,
// records the pair in `journal` and rewrites the script with `rewrite`. A file at the backup
// name that the journal does not know is never moved and stops the run, and so does a script
// folder in which other users can change files. Each failure puts the
// user's text back at the script path (or leaves it at the backup name when it cannot move)
// before it shows its messages, and returns false.
bool BackUpAndRewriteScript(const std::string& scriptPath, CRunJournal& journal, const ScriptRewriter& rewrite);
