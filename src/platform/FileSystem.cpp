#include "FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string DirectoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool OthersCanChangeFiles(const struct stat& folder)
{
    const bool othersOwn = folder.st_uid != ::geteuid() && folder.st_uid != 0;
    const bool othersWrite = (folder.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (folder.st_mode & S_ISVTX) == 0;
    return othersOwn || othersWrite;
}

bool OthersCanChangeFilesIn(const std::string& folder)
{
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && OthersCanChangeFiles(info);
}

bool FileExists(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    return regular;
}

int RenameFile(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int MakeDirectories(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return errno;
        if (slash == std::string::npos)
            return 0;
    }
}

std::string SystemErrorText(int errorNumber)
{
    char buffer[256];
    // GNU strerror_r may return a static text instead of filling the buffer.
    return ::strerror_r(errorNumber, buffer, sizeof buffer);
}
