#include "FileReplacement.h"

#include "FileSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string NameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name nobody can guess, so nobody can prepare a file or a link under it.
int CreateUniqueFile(int folderFd, const std::string& prefix, std::string& name)
{
    constexpr int kAttempts = 16;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        unsigned char random[8];
        if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random))
            return -1;
        name = prefix;
        for (const unsigned char byte : random) {
            name += "0123456789abcdef"[byte >> 4];
            name += "0123456789abcdef"[byte & 0xF];
        }
        const int fd = ::openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

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

} // namespace

CFileReplacement::~CFileReplacement()
{
    Discard();
}

int CFileReplacement::Begin(const std::string& path, bool privateFolder)
{
    Discard();
    m_name = NameOf(path);
    if (m_name.empty() || m_name == "." || m_name == "..")
        return EISDIR;
    m_folderFd = ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_folderFd < 0)
        return errno;
    struct stat folder {};
    if (::fstat(m_folderFd, &folder) != 0)
        return Fail(errno);
    if (privateFolder && OthersCanChangeFiles(folder))
        return Fail(EPERM);
    // A folder at the path would only refuse the rename at the end, after all the writing.
    struct stat existing {};
    if (::fstatat(m_folderFd, m_name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(existing.st_mode))
        return Fail(EISDIR);
    m_fd = CreateUniqueFile(m_folderFd, m_name + ".new-", m_newName);
    if (m_fd < 0)
        return Fail(errno);
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
    CFileReplacement replacement;
    if (const int error = replacement.Begin(path, false); error != 0)
        return error;
    if (const int error = WriteAll(replacement.Descriptor(), content); error != 0)
        return error;
    return replacement.Commit(true);
}
