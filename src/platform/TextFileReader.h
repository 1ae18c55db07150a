#pragma once

#include <cstddef>
#include <string>

// Reads a text file in pieces the way a text-mode stream with a fixed line buffer does: a
// "\r\n" pair is one line break, and one piece is at most `maxPieceLength` characters.
class CTextFileReader {
public:
    static constexpr std::size_t kMaxPieceLength = 249;

    CTextFileReader() = default;
    ~CTextFileReader();
    CTextFileReader(const CTextFileReader&) = delete;
    CTextFileReader& operator=(const CTextFileReader&) = delete;

    // Reads the open file `fd`, which it closes when done. Fails for -1 and for a directory.
    bool Open(int fd);

    // Reads the characters up to the next line break, at most kMaxPieceLength of them. A line
    // break that ends the piece is consumed; when the piece is full the rest of the line is
    // left for the next call. Returns false, with `piece` empty, when the end of the file
    // comes before any character.
    bool ReadPiece(std::string& piece);

    // True when a read from the file failed (not at the end of the file).
    bool Failed() const { return m_failed; }

private:
    bool Fill();
    bool NextIsLineFeed();

    int m_fd = -1;
    bool m_failed = false;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    char m_buffer[64 * 1024];
};
