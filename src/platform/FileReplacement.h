#pragma once

#include <string>
#include <string_view>

// A new file that replaces a file in one step once it is complete, so a reader sees the old or
// the new content and never a part. It is written under its own name in the same folder,
// created exclusively (mode 0600 from the start, never through a link, never into a file
// someone else made); Commit renames it over the file. A replacement that is not committed is
// removed.
class CFileReplacement {
public:
    CFileReplacement() = default;
    ~CFileReplacement();
    CFileReplacement(const CFileReplacement&) = delete;
    CFileReplacement& operator=(const CFileReplacement&) = delete;

    // Creates `newName` to replace `name` in the folder `folderFd` (held by a copy of the
    // descriptor until Commit or Discard). A regular file of this user's left under `newName`
    // (by a crash) is removed first; anything else there fails it. Returns 0 or the errno.
    int Begin(int folderFd, const std::string& name, const std::string& newName);
    // The new file, open for writing; -1 before Begin.
    int Descriptor() const { return m_fd; }
    // Closes the new file and renames it over the file; with `sync`, the file is synced before
    // and the folder after. Returns 0 or the errno; on failure the file is as it was.
    int Commit(bool sync);
    // Removes the new file; the file is as it was.
    void Discard();

private:
    int Fail(int error);

    int m_folderFd = -1;
    int m_fd = -1;
    std::string m_name;
    std::string m_newName;
};

// Replaces the file at `path` by one holding `content` (mode 0600), so that after a crash the
// path holds either the old or the new content, never a part; the file and its directory are
// synced. Returns 0 once that is done, or the errno of the failure.
int ReplaceFileAtomically(const std::string& path, std::string_view content);
