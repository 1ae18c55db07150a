#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// The user nobody as the owner of a Trevalo that a hook must reach from the uid alone: its
// /run/user/UID as a desktop session has it (made when missing, removed again), and the test's
// directory handed over to it.
class UserNobody {
public:
    UserNobody();
    ~UserNobody();
    UserNobody(const UserNobody&) = delete;
    UserNobody& operator=(const UserNobody&) = delete;

    // False when this process is not root or there is no such user: the test cannot run.
    bool Usable() const { return m_usable; }
    uid_t Uid() const { return m_uid; }
    gid_t Gid() const { return m_gid; }
    const std::string& RunUserDirectory() const { return m_runUser; }
    // `command` (program first) run as nobody, with nobody's group and no other, from where
    // nobody can reach it.
    std::vector<std::string> Running(const std::vector<std::string>& command) const;
    // Gives everything below `directory` to nobody, and lets nobody enter the directory itself.
    void TakeOver(const std::string& directory) const;
    // Imports the base32 seed in the file `seedFile` as token T1 for the user "ann" into nobody's
    // token database, the seed on standard input. True when it worked.
    bool ImportToken(const std::string& seedFile) const;

private:
    bool m_usable = false;
    uid_t m_uid = 0;
    gid_t m_gid = 0;
    std::string m_runUser;
    bool m_madeRunUser = false;
};
