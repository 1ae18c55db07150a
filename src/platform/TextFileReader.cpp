#include "TextFileReader.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CTextFileReader::~CTextFileReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool CTextFileReader::Open(int fd)
{
    m_fd = fd;
    if (m_fd < 0)
        return false;
    struct stat info {};
    if (::fstat(m_fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(m_fd);
        m_fd = -1;
        return false;
    }
    ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return true;
}

bool CTextFileReader::Fill()
{
    if (m_fd < 0 || m_failed)
        return false;
    for (;;) {
        const ssize_t count = ::read(m_fd, m_buffer, sizeof m_buffer);
        if (count > 0) {
            m_pos = 0;
            m_end = static_cast<std::size_t>(count);
            return true;
        }
        if (count == 0)
            return false;
        if (errno != EINTR) {
            m_failed = true;
            return false;
        }
    }
}

bool CTextFileReader::NextIsLineFeed()
{
    if (m_pos == m_end && !Fill())
        return false;
    if (m_buffer[m_pos] != '\n')
        return false;
    ++m_pos;
    return true;
}

bool CTextFileReader::ReadPiece(std::string& piece)
{
    piece.clear();
    while (piece.size() < kMaxPieceLength) {
        if (m_pos == m_end && !Fill())
            return !piece.empty();
        const char* start = m_buffer + m_pos;
        const char* limit = start + std::min(kMaxPieceLength - piece.size(), m_end - m_pos);
        const char* stop = std::find_if(start, limit, [](char c) { return c == '\n' || c == '\r'; });
        piece.append(start, stop);
        m_pos += static_cast<std::size_t>(stop - start);
        if (stop == limit)
            continue;
        ++m_pos;
        if (*stop == '\n' || NextIsLineFeed())
            return true;
        piece.push_back('\r'); // a carriage return on its own is text
    }
    return true;
}
