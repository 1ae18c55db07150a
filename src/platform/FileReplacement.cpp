#include "FileReplacement.h"

#include "FileSystem.h"
#include "HeldFolder.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Writes all of `content`; 0 or the errno of the failure.
int WriteAll(int fd, std::string_view content)
{
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// Removes what a crash left under `name` when it is a regular file of this user's.
void RemoveLeftover(int folderFd, const std::string& name)
{
    struct stat info {};
    if (::fstatat(folderFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && IsOwnFile(info))
        ::unlinkat(folderFd, name.c_str(), 0);
}

} // namespace

CFileReplacement::~CFileReplacement()
{
    Discard();
}

int CFileReplacement::Begin(int folderFd, const std::string& name, const std::string& newName)
{
    Discard();
    if (name.empty() || name == "." || name == ".." || newName.empty() || name.find('/') != std::string::npos)
        return EISDIR;
    m_folderFd = ::fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
    if (m_folderFd < 0)
        return errno;
    m_name = name;
    // A folder at the path would only refuse the rename at the end, after all the writing.
    struct stat existing {};
    if (::fstatat(m_folderFd, m_name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(existing.st_mode))
        return Fail(EISDIR);
    RemoveLeftover(m_folderFd, newName);
    m_fd = ::openat(m_folderFd, newName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return Fail(errno);
    m_newName = newName;
    return 0;
}

int CFileReplacement::Commit(bool sync)
{
    if (m_fd < 0)
        return EBADF;
    int result = sync && ::fsync(m_fd) != 0 ? errno : 0;
    if (::close(m_fd) != 0 && result == 0)
        result = errno;
    m_fd = -1;
    if (result == 0 && ::renameat(m_folderFd, m_newName.c_str(), m_folderFd, m_name.c_str()) != 0)
        result = errno;
    if (result != 0)
        return Fail(result);
    m_newName.clear();
    if (sync && ::fsync(m_folderFd) != 0)
        result = errno;
    Discard();
    return result;
}

void CFileReplacement::Discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (m_folderFd >= 0) {
        if (!m_newName.empty())
            ::unlinkat(m_folderFd, m_newName.c_str(), 0);
        ::close(m_folderFd);
    }
    m_folderFd = -1;
    m_newName.clear();
}

int CFileReplacement::Fail(int error)
{
    Discard();
    return error;
}

int ReplaceFileAtomically(const std::string& path, std::string_view content)
{
    const int folderFd = ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return errno;
    CFileReplacement replacement;
    int error = replacement.Begin(folderFd, NameOf(path), NameOf(path) + ".new");
    ::close(folderFd);
    if (error == 0)
        error = WriteAll(replacement.Descriptor(), content);
    return error == 0 ? replacement.Commit(true) : error;
}
