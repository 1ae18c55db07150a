#pragma once

#include <platform/HeldFolder.h>

#include <cerrno>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One script a run has replaced: where it is, what the run moved aside there, and the name of
// the new file each rewrite writes before it takes the script's place.
struct JournalEntry {
    std::string script;     // absolute
    FileIdentity folder;    // the script's folder when the run began
    std::string backupName; // in that folder: the user's text during the run
    FileIdentity backup;    // the user's text: the script's own file, moved aside
    std::string newName;    // in that folder

    bool operator==(const JournalEntry&) const = default;
};

// The backup name of a script: the directory part unchanged, the last component upper-cased
// up to its first "." and followed by ".BAK" ("/home/ann/login.scp" -> "/home/ann/LOGIN.BAK").
std::string MakeBackupName(std::string_view scriptPath);

// The entry of a run of `scriptPath` in the folder `folder`, whose user's text is the file
// `text` (the script's own file, moved aside by the run).
JournalEntry MakeRunEntry(const std::string& scriptPath, FileIdentity folder, FileIdentity text);

// The durable record of the scripts that runs have replaced, written before each move it
// describes, so a run cut short at any moment is undone from it at the next start. Every call
// reads the file afresh, so what it answers is what is on disk. A file that exists but is not a
// journal is never overwritten: recording then fails until the user moves it away.
class CRunJournal {
public:
    // The user's journal (see RunJournalPath).
    CRunJournal();
    explicit CRunJournal(std::string path);
    ~CRunJournal();
    CRunJournal(const CRunJournal&) = delete;
    CRunJournal& operator=(const CRunJournal&) = delete;

    const std::string& Path() const { return m_path; }

    // Takes the journal for as long as this object lives: only its holder records runs and puts
    // scripts back, so a second copy of the program never undoes the first one's run. False
    // when another holds it.
    bool Lock();
    bool Locked() const { return m_lockFd >= 0; }

    // The entries in the order they were recorded; none when the file is absent or unreadable.
    std::vector<JournalEntry> Entries() const;
    // False when the file exists but cannot be read or is not a journal.
    bool Readable() const;
    std::optional<JournalEntry> Find(std::string_view script) const;

    // Adds the entry, replacing one of the same script. True once it is durably on disk.
    bool Record(const JournalEntry& entry);
    // Removes the entry of `script`. True once it is gone from disk, or when there was none.
    bool Forget(const std::string& script);
    // The errno of the last Record or Forget that failed: EBADMSG for a file that is not a
    // journal, EWOULDBLOCK for a journal another holds, the reason Lock failed for one this
    // object does not hold, EINVAL for an entry that cannot be recorded.
    int LastError() const { return m_lastError; }

private:
    int Load(std::vector<JournalEntry>& entries) const;
    bool Save(const std::vector<JournalEntry>& entries);
    bool Fail(int error);

    std::string m_path;
    int m_lockFd = -1;
    int m_lockError = ENOLCK;
    int m_lastError = 0;
};
