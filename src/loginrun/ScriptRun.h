#pragma once

#include "RunJournal.h"

#include <platform/HeldFolder.h>

#include <functional>
#include <memory>
#include <string>

// Rewrites the script of `entry` in `folder` from its backup.
using ScriptRewriter = std::function<bool(const CHeldFolder& folder, const JournalEntry& entry)>;

// A login run's hold on its script: the script's folder, held by descriptor from Connect to the
// end of the run, and the journal entry of what the run moved there. Every move, rewrite and
// restore of the run goes through that folder, whatever becomes of its path meanwhile.
class CScriptRun {
public:
    // Before a run: holds the folder, puts back a text left by an interrupted run of this
    // script, records the run, moves the script to its backup name and rewrites it. Each failure
    // puts the user's text back at the script path (or leaves it at the backup name when it
    // cannot move) before it shows its messages, and returns null.
    static std::unique_ptr<CScriptRun> Start(const std::string& scriptPath, CRunJournal& journal,
                                             const ScriptRewriter& rewrite);

    const std::string& ScriptPath() const { return m_entry.script; }
    // Writes the script anew from the user's text.
    bool Rewrite(const ScriptRewriter& rewrite) const;
    // Puts the user's text back and forgets the run; 0 also once the journal no longer owes it
    // (another Connect put it back). Shows nothing; see MoveScriptBack for the results.
    int MoveBack();
    // MoveBack, with the message of a failure. True when the text is back.
    bool Restore();

private:
    explicit CScriptRun(CRunJournal& journal) : m_journal(journal) {}
    bool HoldFolder(const std::string& scriptPath);
    bool SettleEarlierRun(const std::string& scriptPath);
    bool MoveAside(const std::string& scriptPath);

    CRunJournal& m_journal;
    CHeldFolder m_folder;
    JournalEntry m_entry;
};
