#pragma once

#include "FileReplacement.h"

#include <cstddef>
#include <string>
#include <string_view>

// Writes a text file line by line into a new private file (mode 0600: it may hold secrets) that
// replaces the destination in one step when closed (see CFileReplacement): a reader sees the
// old or the new text, never a part. Every write and the close are checked, so a full disk is reported, not ignored.
// The buffer is wiped when the writer is done with it.
class CTextFileWriter {
public:
    CTextFileWriter() = default;
    ~CTextFileWriter();
    CTextFileWriter(const CTextFileWriter&) = delete;
    CTextFileWriter& operator=(const CTextFileWriter&) = delete;

    // Starts `newName` to replace `name` in the folder `folderFd` (see CFileReplacement::Begin).
    // False, with the reason in Error(), when the new file cannot be made.
    bool Open(int folderFd, const std::string& name, const std::string& newName);
    // Writes `line` and one line break.
    void WriteLine(std::string_view line);
    // Writes out what is buffered; false, with the reason in Error(), when a write failed.
    bool Flush();
    // Flushes and puts the new file in place; false, with the destination untouched, when any
    // write, the close or the rename failed.
    bool Close();
    // Drops what was written; the destination stays as it was.
    void Discard();
    // The errno of the last failure.
    int Error() const { return m_error; }

private:
    void Append(std::string_view data);

    CFileReplacement m_file;
    bool m_open = false;
    int m_error = 0;
    std::size_t m_used = 0;
    char m_buffer[64 * 1024];
};
