#include "TextFileWriter.h"

#include "SecureWipe.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CTextFileWriter::~CTextFileWriter()
{
    if (m_fd >= 0)
        Close();
    SecureWipe(m_buffer, sizeof m_buffer);
}

bool CTextFileWriter::Open(const std::string& path)
{
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0600);
    if (m_fd < 0)
        return false;
    struct stat info {};
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(m_fd);
        m_fd = -1;
        return false;
    }
    // An existing file keeps its mode on O_CREAT; narrow it too. Another user's file we may
    // write but not chmod stays as its owner set it.
    ::fchmod(m_fd, 0600);
    m_failed = false;
    m_used = 0;
    return true;
}

void CTextFileWriter::Flush()
{
    std::size_t done = 0;
    while (done < m_used && !m_failed) {
        const ssize_t count = ::write(m_fd, m_buffer + done, m_used - done);
        if (count >= 0)
            done += static_cast<std::size_t>(count);
        else if (errno != EINTR)
            m_failed = true;
    }
    SecureWipe(m_buffer, m_used);
    m_used = 0;
}

void CTextFileWriter::Append(std::string_view data)
{
    while (!data.empty() && !m_failed) {
        if (m_used == sizeof m_buffer)
            Flush();
        const std::size_t count = std::min(sizeof m_buffer - m_used, data.size());
        std::memcpy(m_buffer + m_used, data.data(), count);
        m_used += count;
        data.remove_prefix(count);
    }
}

void CTextFileWriter::WriteLine(std::string_view line)
{
    if (m_fd < 0)
        return;
    Append(line);
    Append("\n");
}

bool CTextFileWriter::Close()
{
    if (m_fd < 0)
        return false;
    Flush();
    if (::close(m_fd) != 0)
        m_failed = true;
    m_fd = -1;
    return !m_failed;
}
