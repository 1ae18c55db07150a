#include "ProgramOutput.h"

#include "ChildProcess.h"
#include "SecureWipe.h"

#include <ShownText.h>

#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

// Drops whole lines from the front of `text` until it holds at most `limit` bytes; of a single
// longer line, its end.
void KeepLast(std::string& text, std::size_t limit)
{
    while (text.size() > limit) {
        const auto end = text.find('\n');
        if (end == std::string::npos || end + 1 == text.size()) {
            text.erase(0, text.size() - limit);
            return;
        }
        text.erase(0, end + 1);
    }
}

// A line as a person may see it: without the CR of a CR LF end, controls escaped.
std::string Shown(std::string_view line)
{
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    return ShownText::Escaped(line);
}

} // namespace

std::unique_ptr<CProgramOutput> CProgramOutput::Open(std::string name)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return nullptr;
    ::fcntl(ends[0], F_SETFL, ::fcntl(ends[0], F_GETFL) | O_NONBLOCK);
    return std::unique_ptr<CProgramOutput>(new CProgramOutput(Shown(name), ends[0], ends[1]));
}

CProgramOutput::CProgramOutput(std::string name, int readEnd, int writeEnd)
    : m_name(std::move(name)), m_readEnd(readEnd), m_writeEnd(writeEnd)
{
}

CProgramOutput::~CProgramOutput()
{
    m_notifier.reset();
    if (m_writeEnd >= 0)
        ::close(m_writeEnd);
    ReadAvailable();
    if (!m_ended)
        HandOver();
    ::close(m_readEnd);
    SecureWipe(m_partial);
    SecureWipe(m_kept);
}

void CProgramOutput::Started()
{
    ::close(m_writeEnd);
    m_writeEnd = -1;
    m_notifier = std::make_unique<QSocketNotifier>(m_readEnd, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] { ReadAvailable(); });
}

void CProgramOutput::ReadAvailable()
{
    char buffer[4096];
    std::string passedOn;
    // A bounded share each time: a writer that never pauses must not hold up the event loop.
    for (int round = 0; round < 16 && !m_ended; ++round) {
        const ssize_t got = ::read(m_readEnd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && errno == EAGAIN)
            break;
        m_ended = got <= 0;
        if (m_ended)
            break;
        m_partial.append(buffer, static_cast<std::size_t>(got));
        std::size_t start = 0;
        for (std::size_t end; (end = m_partial.find('\n', start)) != std::string::npos; start = end + 1)
            TakeLine(m_partial.substr(start, end - start), passedOn);
        m_partial.erase(0, start);
        // A line without an end is taken in pieces, so that it cannot grow without bound.
        if (m_partial.size() >= kKeptBytes)
            TakeLine(std::exchange(m_partial, {}), passedOn);
    }
    if (m_ended && !m_partial.empty())
        TakeLine(std::exchange(m_partial, {}), passedOn);
    if (m_ended && m_notifier)
        m_notifier->setEnabled(false);
    SecureWipe(buffer, sizeof buffer);
    std::fwrite(passedOn.data(), 1, passedOn.size(), stderr);
    SecureWipe(passedOn);
}

void CProgramOutput::TakeLine(std::string_view line, std::string& passedOn)
{
    passedOn += m_name + ": " + Shown(line) + "\n";
    m_kept.append(line).push_back('\n');
    // Trimmed now and then, not at every line: a flood of short lines costs little.
    if (m_kept.size() > 2 * kKeptBytes)
        KeepLast(m_kept, kKeptBytes);
}

std::string CProgramOutput::LastLines() const
{
    std::string text = m_kept + m_partial;
    KeepLast(text, kKeptBytes);
    std::string shown;
    std::size_t start = 0;
    for (std::size_t end; start < text.size(); start = end + 1) {
        end = std::min(text.find('\n', start), text.size());
        shown += (shown.empty() ? "" : "\n") + Shown(std::string_view(text).substr(start, end - start));
    }
    SecureWipe(text);
    return shown;
}

void CProgramOutput::HandOver()
{
    // cat reads as programs do, waiting for more.
    ::fcntl(m_readEnd, F_SETFL, ::fcntl(m_readEnd, F_GETFL) & ~O_NONBLOCK);
    int error = 0;
    // Not waited for: it lasts as long as the last writer, which may outlive this program.
    CChildProcess::Start({"/bin/cat"}, error, STDERR_FILENO, m_readEnd);
}
