#pragma once

#include <string>
#include <string_view>
#include <vector>

// One script a run has replaced, and the name its user's text waits under meanwhile.
struct JournalEntry {
    std::string script;
    std::string backup;

    bool operator==(const JournalEntry&) const = default;
};

// The durable record of the scripts that runs have replaced. A run cut short is undone from it
// at the next start, and only a backup it knows is ever moved over a script. Every call reads
// the file afresh, so what it answers is what is on disk. A file that exists but is not a
// journal is never overwritten: recording then fails until the user deals with it.
class CRunJournal {
public:
    // The user's journal (see RunJournalPath).
    CRunJournal();
    explicit CRunJournal(std::string path);

    const std::string& Path() const { return m_path; }

    // The entries in the order they were recorded; none when the file is absent or unreadable.
    std::vector<JournalEntry> Entries() const;
    // False when the file exists but cannot be read or is not a journal.
    bool Readable() const;
    // True when the journal holds exactly this pair, byte for byte.
    bool Knows(std::string_view script, std::string_view backup) const;

    // Adds the pair, replacing an entry of the same script. True once it is durably on disk.
    bool Record(const std::string& script, const std::string& backup);
    // Removes the entry of `script`. True once it is gone from disk, or when there was none.
    bool Forget(const std::string& script);
    // The errno of the last Record or Forget that failed: EBADMSG for a file that is not a
    // journal, EINVAL for a path that cannot be recorded.
    int LastError() const { return m_lastError; }

private:
    int Load(std::vector<JournalEntry>& entries) const;
    bool Save(const std::vector<JournalEntry>& entries);
    bool Fail(int error);

    std::string m_path;
    int m_lastError = 0;
};
