#include "UserNobody.h"

#include <ChildProcess.h>
#include <Reachable.h>

#include <cerrno>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

UserNobody::UserNobody()
{
    const passwd* entry = ::getpwnam("nobody");
    if (::geteuid() != 0 || !entry)
        return;
    m_uid = entry->pw_uid;
    m_gid = entry->pw_gid;
    m_runUser = "/run/user/" + std::to_string(m_uid);
    m_usable = true;
    if (fs::exists(m_runUser))
        return;
    fs::create_directories("/run/user");
    fs::create_directory(m_runUser);
    m_madeRunUser = true;
    ::chmod(m_runUser.c_str(), 0700);
    m_usable = ::chown(m_runUser.c_str(), m_uid, m_gid) == 0;
}

UserNobody::~UserNobody()
{
    if (m_madeRunUser)
        fs::remove_all(m_runUser);
}

std::vector<std::string> UserNobody::Running(const std::vector<std::string>& command) const
{
    std::vector<std::string> words{"/usr/bin/setpriv", "--reuid=" + std::to_string(m_uid),
                                   "--regid=" + std::to_string(m_gid), "--clear-groups", Reachable(command.front())};
    words.insert(words.end(), command.begin() + 1, command.end());
    return words;
}

void UserNobody::TakeOver(const std::string& directory) const
{
    ::chmod(directory.c_str(), 0755);
    for (const auto& entry : fs::recursive_directory_iterator(directory))
        if (::lchown(entry.path().c_str(), m_uid, m_gid) != 0)
            throw fs::filesystem_error("cannot give to nobody", entry.path(),
                                       std::error_code(errno, std::generic_category()));
}

bool UserNobody::ImportToken(const std::string& seedFile) const
{
    ChildProcess import(
        {"/bin/sh", "-c", "exec \"$0\" import --user ann T1 <\"$1\"", Reachable(KELVANE_TOKEN), seedFile}, m_uid);
    return import.Wait() == 0;
}
