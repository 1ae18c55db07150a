#include "HeldFolder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

// True when no user but this one is in group `gid`, as a member or by their primary group.
bool GroupHoldsOnlyThisUser(gid_t gid)
{
    const uid_t self = ::geteuid();
    const passwd* me = ::getpwuid(self);
    const std::string myName = me ? me->pw_name : "";
    const group* entry = ::getgrgid(gid);
    if (!entry)
        return false; // nobody can say who is in it
    for (char** member = entry->gr_mem; *member; ++member)
        if (myName != *member)
            return false;
    bool alone = true;
    ::setpwent();
    while (const passwd* user = ::getpwent())
        if (user->pw_gid == gid && user->pw_uid != self)
            alone = false;
    ::endpwent();
    return alone;
}

// An access list may let other users write whatever the group bits say.
bool HasAccessList(int fd)
{
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (::getxattr(path.c_str(), "system.posix_acl_access", nullptr, 0) >= 0)
        return true;
    return errno != ENODATA && errno != ENOTSUP;
}

// True when users other than this one can add, remove or rename files in the folder.
bool OthersCanChangeFiles(int fd, const struct stat& folder)
{
    if (folder.st_uid != ::geteuid() && folder.st_uid != 0)
        return true;
    // In a sticky folder each user may change only their own files.
    if ((folder.st_mode & S_ISVTX) != 0)
        return false;
    if ((folder.st_mode & S_IWOTH) != 0)
        return true;
    return (folder.st_mode & S_IWGRP) != 0 && (HasAccessList(fd) || !GroupHoldsOnlyThisUser(folder.st_gid));
}

std::string ResolvedPath(const std::string& path, int& error)
{
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) {
        error = errno;
        return {};
    }
    std::string result(resolved);
    std::free(resolved);
    error = 0;
    return result;
}

} // namespace

FileIdentity IdentityOf(const struct stat& info)
{
    return {info.st_dev, info.st_ino};
}

bool IsOwnFile(const struct stat& info, FileIdentity identity)
{
    return S_ISREG(info.st_mode) && info.st_uid == ::geteuid() && (!identity.Known() || IdentityOf(info) == identity);
}

CHeldFolder::~CHeldFolder()
{
    Close();
}

void CHeldFolder::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_identity = {};
}

int CHeldFolder::Open(const std::string& path)
{
    Close();
    m_refused.clear();
    if (path.empty() || path[0] != '/')
        return EINVAL;
    int error = 0;
    // Links on the way are resolved once; each folder the walk then reaches is what it checks.
    const std::string resolved = ResolvedPath(path, error);
    if (error != 0)
        return error;
    std::string walked = "/";
    int fd = ::open(walked.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    struct stat info {};
    for (std::size_t start = 1;; start = walked.size() + 1) {
        if (fd < 0 || ::fstat(fd, &info) != 0)
            error = errno;
        else if (OthersCanChangeFiles(fd, info))
            error = EPERM;
        if (error != 0 || start >= resolved.size())
            break;
        walked = resolved.substr(0, resolved.find('/', start));
        const int next = ::openat(fd, walked.c_str() + start, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const int openError = errno;
        ::close(fd);
        fd = next;
        errno = openError;
    }
    if (error != 0) {
        if (error == EPERM)
            m_refused = walked;
        if (fd >= 0)
            ::close(fd);
        return error;
    }
    m_fd = fd;
    m_identity = IdentityOf(info);
    return 0;
}

int CHeldFolder::Stat(const std::string& name, struct stat& info) const
{
    return ::fstatat(m_fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
}

bool CHeldFolder::HoldsOwnFile(const std::string& name, FileIdentity identity) const
{
    struct stat info {};
    return Stat(name, info) == 0 && IsOwnFile(info, identity);
}

int CHeldFolder::OpenOwnFile(const std::string& name, FileIdentity identity) const
{
    const int fd = ::openat(m_fd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && IsOwnFile(info, identity))
        return fd;
    ::close(fd);
    errno = EPERM;
    return -1;
}

int CHeldFolder::Rename(const std::string& from, const std::string& to, bool keepExisting) const
{
    if (::renameat2(m_fd, from.c_str(), m_fd, to.c_str(), keepExisting ? RENAME_NOREPLACE : 0) == 0)
        return 0;
    // A file system without the flag: the folder is this user's alone, so a look first will do.
    struct stat existing {};
    if (errno != EINVAL || !keepExisting)
        return errno;
    if (Stat(to, existing) == 0)
        return EEXIST;
    return ::renameat(m_fd, from.c_str(), m_fd, to.c_str()) == 0 ? 0 : errno;
}

void CHeldFolder::RemoveOwnFile(const std::string& name) const
{
    if (HoldsOwnFile(name))
        ::unlinkat(m_fd, name.c_str(), 0);
}
