#include "RunJournal.h"

#include <platform/FileReplacement.h>
#include <platform/FileSystem.h>
#include <platform/HiveLocation.h>
#include <platform/MultiByte.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// The first line names the format; then each field follows, ended by a NUL, the one byte no
// path can hold. A journal of the first format, which knew no identities, holds nothing that
// may be moved: a backup it named is offered to the user at the next Connect instead.
constexpr std::string_view kHeader = "trevalo run journal 2\n";
constexpr std::string_view kFirstFormat = "trevalo run journal 1\n";

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

// Takes the next NUL-ended field off `text`.
bool TakeField(std::string_view& text, std::string& field)
{
    const std::size_t end = text.find('\0');
    if (end == std::string_view::npos)
        return false;
    field = text.substr(0, end);
    text.remove_prefix(end + 1);
    return true;
}

template <typename Number> bool TakeNumber(std::string_view& text, char end, Number& number)
{
    const auto [rest, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || rest == text.data() + text.size() || *rest != end)
        return false;
    text.remove_prefix(static_cast<std::size_t>(rest - text.data()) + 1);
    return true;
}

bool TakeIdentity(std::string_view& text, FileIdentity& identity)
{
    return TakeNumber(text, ':', identity.device) && TakeNumber(text, '\0', identity.inode);
}

bool IsRecordable(const JournalEntry& entry)
{
    const auto clean = [](std::string_view text) { return text.find('\0') == std::string_view::npos; };
    return entry.script.starts_with('/') && !entry.backupName.empty() && entry.folder.Known() && entry.backup.Known() &&
           clean(entry.script) && clean(entry.backupName) && clean(entry.newName);
}

bool Parse(std::string_view text, std::vector<JournalEntry>& entries)
{
    if (text.starts_with(kFirstFormat))
        return true;
    if (!text.starts_with(kHeader))
        return false;
    text.remove_prefix(kHeader.size());
    while (!text.empty()) {
        JournalEntry entry;
        if (!TakeField(text, entry.script) || !TakeIdentity(text, entry.folder) || !TakeField(text, entry.backupName) ||
            !TakeIdentity(text, entry.backup) || !TakeField(text, entry.newName) || !IsRecordable(entry))
            return false;
        entries.push_back(std::move(entry));
    }
    return true;
}

void AppendField(std::string& text, std::string_view field)
{
    text += field;
    text += '\0';
}

void AppendIdentity(std::string& text, FileIdentity identity)
{
    AppendField(text, std::to_string(identity.device) + ':' + std::to_string(identity.inode));
}

std::string Serialize(const std::vector<JournalEntry>& entries)
{
    std::string text(kHeader);
    for (const JournalEntry& entry : entries) {
        AppendField(text, entry.script);
        AppendIdentity(text, entry.folder);
        AppendField(text, entry.backupName);
        AppendIdentity(text, entry.backup);
        AppendField(text, entry.newName);
    }
    return text;
}

} // namespace

std::string MakeBackupName(std::string_view scriptPath)
{
    const std::size_t slash = scriptPath.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::string_view name = scriptPath.substr(nameStart);
    const std::string_view stem = name.substr(0, name.find('.'));
    return std::string(scriptPath.substr(0, nameStart)) + UpperCaseMultiByte(stem) + ".BAK";
}

JournalEntry MakeRunEntry(const std::string& scriptPath, FileIdentity folder, FileIdentity text)
{
    const std::string scriptName = NameOf(scriptPath);
    return {scriptPath, folder, NameOf(MakeBackupName(scriptPath)), text, scriptName + ".trevalo-new"};
}

CRunJournal::CRunJournal() : m_path(RunJournalPath()) {}

CRunJournal::CRunJournal(std::string path) : m_path(std::move(path)) {}

CRunJournal::~CRunJournal()
{
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

bool CRunJournal::Lock()
{
    if (m_lockFd >= 0)
        return true;
    if (m_lockError = MakeDirectories(DirectoryOf(m_path)); m_lockError != 0)
        return false;
    const std::string lockPath = m_path + ".lock";
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        m_lockError = errno;
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    m_lockFd = fd;
    return true;
}

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

std::optional<JournalEntry> CRunJournal::Find(std::string_view script) const
{
    for (JournalEntry& entry : Entries())
        if (entry.script == script)
            return std::move(entry);
    return std::nullopt;
}

bool CRunJournal::Record(const JournalEntry& entry)
{
    if (!IsRecordable(entry))
        return Fail(EINVAL);
    if (!Locked())
        return Fail(m_lockError);
    std::vector<JournalEntry> entries;
    if (const int error = Load(entries); error != 0)
        return Fail(error);
    std::erase_if(entries, [&](const JournalEntry& known) { return known.script == entry.script; });
    entries.push_back(entry);
    return Save(entries);
}

bool CRunJournal::Forget(const std::string& script)
{
    if (!Locked())
        return Fail(m_lockError);
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
