#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Writes a text file line by line. The file is created with mode 0600 (it may hold secrets) or
// truncated; every write and the close are checked, so a full disk is reported, not ignored.
// The buffer is wiped when the writer is done with it.
class CTextFileWriter {
public:
    CTextFileWriter() = default;
    ~CTextFileWriter();
    CTextFileWriter(const CTextFileWriter&) = delete;
    CTextFileWriter& operator=(const CTextFileWriter&) = delete;

    bool Open(const std::string& path);
    // Writes `line` and one line break.
    void WriteLine(std::string_view line);
    // Flushes and closes; false when any write or the close failed.
    bool Close();

private:
    void Append(std::string_view data);
    void Flush();

    int m_fd = -1;
    bool m_failed = false;
    std::size_t m_used = 0;
    char m_buffer[64 * 1024];
};
