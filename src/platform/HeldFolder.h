#pragma once

#include <string>
#include <sys/types.h>

struct stat;

// What a file is, whatever names it has: the device and inode it lives at.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;

    bool Known() const { return inode != 0; }
    bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const struct stat& info);
// True when `info` is of a regular file of this user's with `identity` (any, when not known).
bool IsOwnFile(const struct stat& info, FileIdentity identity = {});

// A folder held by descriptor: every look, create, rename and unlink goes through the
// descriptor, so renaming or replacing the folder, or one above it, redirects nothing. It is
// opened only when no other user can change what is in it or in any folder above it, so what
// it holds stays what this user put there.
class CHeldFolder {
public:
    CHeldFolder() = default;
    ~CHeldFolder();
    CHeldFolder(const CHeldFolder&) = delete;
    CHeldFolder& operator=(const CHeldFolder&) = delete;

    // Opens the folder at the absolute `path` by walking from "/" to the folder the path leads
    // to, no step through a link. Each folder on the way must belong to this user or to root
    // and be writable by nobody else, unless it is sticky (as /tmp is); a group may write when
    // it has no member but this user and no access list widens it. Returns 0 or the errno;
    // EPERM for a folder others can change, which RefusedFolder() then names.
    int Open(const std::string& path);
    bool IsOpen() const { return m_fd >= 0; }
    int Descriptor() const { return m_fd; }
    FileIdentity Identity() const { return m_identity; }
    const std::string& RefusedFolder() const { return m_refused; }

    // What is at `name`, a link not followed. Returns 0 or the errno.
    int Stat(const std::string& name, struct stat& info) const;
    // True when `name` is a regular file of this user's with `identity` (any, when not known).
    bool HoldsOwnFile(const std::string& name, FileIdentity identity = {}) const;
    // Opens `name` for reading when HoldsOwnFile says so of what it opened; else -1 and errno.
    int OpenOwnFile(const std::string& name, FileIdentity identity) const;
    // Renames `from` over `to`. With `keepExisting`, an existing `to` fails it with EEXIST.
    // Returns 0 or the errno.
    int Rename(const std::string& from, const std::string& to, bool keepExisting = false) const;
    // Removes `name` when it is a regular file of this user's; anything else stays.
    void RemoveOwnFile(const std::string& name) const;

private:
    void Close();

    int m_fd = -1;
    FileIdentity m_identity;
    std::string m_refused;
};
