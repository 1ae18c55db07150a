#include "TextFileWriter.h"

#include "SecureWipe.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

CTextFileWriter::~CTextFileWriter()
{
    Discard();
    SecureWipe(m_buffer, sizeof m_buffer);
}

bool CTextFileWriter::Open(int folderFd, const std::string& name, const std::string& newName)
{
    Discard();
    m_error = m_file.Begin(folderFd, name, newName);
    m_open = m_error == 0;
    m_used = 0;
    return m_open;
}

bool CTextFileWriter::Flush()
{
    std::size_t done = 0;
    while (done < m_used && m_error == 0) {
        const ssize_t count = ::write(m_file.Descriptor(), m_buffer + done, m_used - done);
        if (count >= 0)
            done += static_cast<std::size_t>(count);
        else if (errno != EINTR)
            m_error = errno;
    }
    SecureWipe(m_buffer, m_used);
    m_used = 0;
    return m_error == 0;
}

void CTextFileWriter::Append(std::string_view data)
{
    while (!data.empty() && m_error == 0) {
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
    if (!m_open)
        return;
    Append(line);
    Append("\n");
}

bool CTextFileWriter::Close()
{
    if (!m_open)
        return false;
    m_open = false;
    if (!Flush()) {
        m_file.Discard();
        return false;
    }
    m_error = m_file.Commit(false);
    return m_error == 0;
}

void CTextFileWriter::Discard()
{
    SecureWipe(m_buffer, m_used);
    m_used = 0;
    m_open = false;
    m_file.Discard();
}
