#include "ChannelDirectory.h"

#include "FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A real directory (not a link to one) that belongs to `uid` and that nobody else may enter.
bool IsPrivateDirectory(const struct stat& info, uid_t uid)
{
    return S_ISDIR(info.st_mode) && info.st_uid == uid && (info.st_mode & 077) == 0;
}

std::string HomeOf(uid_t uid)
{
    const passwd* entry = ::getpwuid(uid);
    return entry && entry->pw_dir ? entry->pw_dir : "/";
}

} // namespace

ChannelDirectory ChooseChannelDirectory(uid_t uid, const char* variable, const std::string& runUserDir,
                                        const std::string& home)
{
    if (variable && variable[0] == '/')
        return {variable, false};
    struct stat info {};
    if (::lstat(runUserDir.c_str(), &info) == 0 && IsPrivateDirectory(info, uid))
        return {runUserDir, false};
    return {(home == "/" ? "" : home) + "/.local/state/trevalo", true};
}

ChannelDirectory ChannelDirectoryOfThisUser()
{
    const uid_t uid = ::getuid();
    return ChooseChannelDirectory(uid, std::getenv("TREVALO_RUNTIME_DIR"), "/run/user/" + std::to_string(uid),
                                  HomeOf(uid));
}

bool MakePrivateDirectory(const std::string& path, uid_t uid, std::string& error)
{
    if (const int failure = MakeDirectories(path); failure != 0) {
        error = "Cannot create " + path + ": " + SystemErrorText(failure) + ".";
        return false;
    }
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        error = "Cannot check " + path + ": " + SystemErrorText(errno) + ".";
        return false;
    }
    if (IsPrivateDirectory(info, uid))
        return true;
    if (!S_ISDIR(info.st_mode)) {
        error = path + " is not a directory.";
        return false;
    }
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
    error = path + " belongs to user " + std::to_string(info.st_uid) + " and has mode " + mode +
            ": Trevalo keeps its channel only in a directory of its own user's that no one else may enter.";
    return false;
}
