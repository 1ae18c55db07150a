#include "RunJournal.h"

#include <platform/FileReplacement.h>
#include <platform/FileSystem.h>
#include <platform/HiveLocation.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The first line names the format; then each path follows, ended by a NUL, the one byte no
// path can hold.
constexpr std::string_view kHeader = "trevalo run journal 1\n";

// The whole file in `content`: 0, or the errno of the failure (ENOENT for an absent file).
int ReadWholeFile(const std::string& path, std::string& content)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return errno;
    char buffer[4096];
    ssize_t count;
    while ((count = ::read(fd, buffer, sizeof buffer)) != 0) {
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            break;
        content.append(buffer, static_cast<std::size_t>(count));
    }
    const int result = count < 0 ? errno : 0;
    ::close(fd);
    return result;
}

// Takes the next NUL-ended, non-empty field off `text`.
bool TakeField(std::string_view& text, std::string& field)
{
    const std::size_t end = text.find('\0');
    if (end == 0 || end == std::string_view::npos)
        return false;
    field = text.substr(0, end);
    text.remove_prefix(end + 1);
    return true;
}

bool Parse(std::string_view text, std::vector<JournalEntry>& entries)
{
    if (!text.starts_with(kHeader))
        return false;
    text.remove_prefix(kHeader.size());
    while (!text.empty()) {
        JournalEntry entry;
        if (!TakeField(text, entry.script) || !TakeField(text, entry.backup))
            return false;
        entries.push_back(std::move(entry));
    }
    return true;
}

std::string Serialize(const std::vector<JournalEntry>& entries)
{
    std::string text(kHeader);
    for (const JournalEntry& entry : entries) {
        text += entry.script;
        text += '\0';
        text += entry.backup;
        text += '\0';
    }
    return text;
}

bool IsRecordablePath(std::string_view path)
{
    return !path.empty() && path.find('\0') == std::string_view::npos;
}

} // namespace

CRunJournal::CRunJournal() : m_path(RunJournalPath()) {}

CRunJournal::CRunJournal(std::string path) : m_path(std::move(path)) {}

std::vector<JournalEntry> CRunJournal::Entries() const
{
    std::vector<JournalEntry> entries;
    if (Load(entries) != 0)
        return {};
    return entries;
}

bool CRunJournal::Readable() const
{
    std::vector<JournalEntry> entries;
    return Load(entries) == 0;
}

bool CRunJournal::Knows(std::string_view script, std::string_view backup) const
{
    const std::vector<JournalEntry> entries = Entries();
    return std::any_of(entries.begin(), entries.end(),
                       [&](const JournalEntry& entry) { return entry.script == script && entry.backup == backup; });
}

bool CRunJournal::Record(const std::string& script, const std::string& backup)
{
    if (!IsRecordablePath(script) || !IsRecordablePath(backup))
        return Fail(EINVAL);
    std::vector<JournalEntry> entries;
    if (const int error = Load(entries); error != 0)
        return Fail(error);
    std::erase_if(entries, [&](const JournalEntry& entry) { return entry.script == script; });
    entries.push_back({script, backup});
    return Save(entries);
}

bool CRunJournal::Forget(const std::string& script)
{
    std::vector<JournalEntry> entries;
    if (const int error = Load(entries); error != 0)
        return Fail(error);
    if (std::erase_if(entries, [&](const JournalEntry& entry) { return entry.script == script; }) == 0)
        return true;
    return Save(entries);
}

int CRunJournal::Load(std::vector<JournalEntry>& entries) const
{
    std::string content;
    const int error = ReadWholeFile(m_path, content);
    if (error == ENOENT)
        return 0;
    if (error != 0)
        return error;
    return Parse(content, entries) ? 0 : EBADMSG;
}

bool CRunJournal::Save(const std::vector<JournalEntry>& entries)
{
    const std::size_t slash = m_path.rfind('/');
    if (slash != std::string::npos && slash != 0)
        if (const int error = MakeDirectories(m_path.substr(0, slash)); error != 0)
            return Fail(error);
    if (const int error = ReplaceFileAtomically(m_path, Serialize(entries)); error != 0)
        return Fail(error);
    m_lastError = 0;
    return true;
}

bool CRunJournal::Fail(int error)
{
    m_lastError = error;
    return false;
}
