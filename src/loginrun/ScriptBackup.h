#pragma once

#include "RunJournal.h"

#include <platform/HeldFolder.h>

#include <string>
#include <string_view>

// While a run lasts the user's script waits under its backup name, and the script path holds
// the text with live passcodes. These operations put it back, by the run journal's record of
// what the run moved: a name only says where to look, the recorded identity what is ours.

// Shows the message for a move result and returns true when the caller may go on. `movedFile`
// is the file that was to be moved; it names the file in the message for an unexpected error.
bool ReportMoveResult(int result, const std::string& movedFile);

// Opens the folder of `scriptPath` into `folder`. A path that is not a full one and a folder
// others can change are refused with their messages and EINVAL or EPERM; any other failure is
// returned for the caller to report. Returns 0 when the folder is held.
int HoldScriptFolder(CHeldFolder& folder, const std::string& scriptPath);

// Puts the user's text of `entry` back in `folder`, the entry's own: the backup moves over the
// script only when it is the file the entry records, a rewrite's leftover new file is removed,
// and the entry is forgotten once the text is back. Shows nothing. Returns 0, also when the
// script already holds the text; ENOENT when the text is in neither place; or the errno of
// the move.
int MoveScriptBack(const CHeldFolder& folder, const JournalEntry& entry, CRunJournal& journal);

// Shows the message for a result of MoveScriptBack and returns true when it is 0.
bool ReportScriptBack(int result, const std::string& scriptPath);

// The file at the backup name of `scriptPath` in `folder`, which the journal does not know as
// this script's: it may be the user's text from an interrupted run or from an earlier version
// of Trevalo. Asks whether to move it back over the script, and does so only for a regular file
// of the user's that is no other script's text in the journal. Returns 0 once it is back,
// kNotMovedBack when it stays (the reason shown), or the errno of the move (not shown).
inline constexpr int kNotMovedBack = -1;
int OfferUnknownBackup(const CHeldFolder& folder, const std::string& scriptPath, const CRunJournal& journal);

// Asks whether to forget the run of `entry`, whose folder is not where the run left it (removed,
// moved away, not mounted). True when the user said Yes and the entry is gone.
bool AskToForget(const JournalEntry& entry, CRunJournal& journal);

// At start-up: puts back the text of every script the journal holds, silently when it works,
// with the message of each failure otherwise, asking about each whose folder is out of reach.
void RestoreJournalScripts(CRunJournal& journal);
// Before a run of `runScript`: the same for the others, passing over those out of reach.
void RestoreOwedScripts(CRunJournal& journal, std::string_view runScript);

// Puts the text of `scriptPath` back with no run at hand, through the journal, or by asking
// about a file at its backup name that the journal does not know. True when it is back.
bool RestoreScript(const std::string& scriptPath, CRunJournal& journal);
