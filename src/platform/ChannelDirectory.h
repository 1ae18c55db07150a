#pragma once

#include <string>
#include <sys/types.h>

// Where a user's instance channel lives. It follows from the uid and the password database
// alone, never from the caller's environment, so that hooks started with a clean environment (pppd's
// ip-up through runuser) find the channel the program listens on. Only TREVALO_RUNTIME_DIR, a
// variable of Trevalo's own, moves both ends elsewhere.
struct ChannelDirectory {
    std::string path;
    // The fallback under the home directory: the program creates it and makes sure it is private.
    bool underHome = false;
};

// The directory for `uid`: `variable` when it is an absolute path; else `runUserDir` when it is
// a directory of `uid`'s with no group or other permission (what XDG_RUNTIME_DIR is in a desktop
// session); else `home`/.local/state/trevalo.
ChannelDirectory ChooseChannelDirectory(uid_t uid, const char* variable, const std::string& runUserDir,
                                        const std::string& home);

// The directory for this process's user: TREVALO_RUNTIME_DIR, /run/user/UID, and the home
// directory from the password database.
ChannelDirectory ChannelDirectoryOfThisUser();

// Creates `path` and its missing parents (mode 0700), then checks that it is a directory of
// `uid`'s that no one else may enter. False with the reason in `error` otherwise.
bool MakePrivateDirectory(const std::string& path, uid_t uid, std::string& error);
