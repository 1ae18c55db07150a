#include "HiveLocation.h"

#include "FileSystem.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string HomeDirectory()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    const passwd* entry = ::getpwuid(::getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "/";
}

std::string ConfigDirectory()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/')
        return config;
    return HomeDirectory() + "/.config";
}

std::string DataDirectory()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/')
        return data;
    return HomeDirectory() + "/.local/share";
}

} // namespace

std::string RegistryHivePath()
{
    return ConfigDirectory() + "/trevalo/registry.db";
}

std::string RunJournalPath()
{
    return DataDirectory() + "/trevalo/run-journal";
}

LSTATUS EnsureHiveFile(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
        return ERROR_SUCCESS;
    if (MakeDirectories(path.substr(0, path.rfind('/'))) != 0)
        return ERROR_ACCESS_DENIED;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno == EEXIST ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    ::close(fd);
    return ERROR_SUCCESS;
}
