#include "HiveLocation.h"

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

// Creates every missing directory of `path` with mode 0700; existing ones keep their mode.
bool MakeDirectories(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

} // namespace

std::string RegistryHivePath()
{
    return ConfigDirectory() + "/trevalo/registry.db";
}

LSTATUS EnsureHiveFile(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
        return ERROR_SUCCESS;
    if (!MakeDirectories(path.substr(0, path.rfind('/'))))
        return ERROR_ACCESS_DENIED;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno == EEXIST ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    ::close(fd);
    return ERROR_SUCCESS;
}
