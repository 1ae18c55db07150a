#pragma once

#include <string>
#include <string_view>

// A new file that replaces `path` in one step once it is complete, so a reader sees the old or
// the new content and never a part. It is created exclusively (mode 0600 from the start, never
// through a link, never into a file someone else made) under an unpredictable name in the same
// folder, which stays pinned by a descriptor while the file is written; Commit renames it over
// `path`. A replacement that is not committed is removed.
class CFileReplacement {
public:
    CFileReplacement() = default;
    ~CFileReplacement();
    CFileReplacement(const CFileReplacement&) = delete;
    CFileReplacement& operator=(const CFileReplacement&) = delete;

    // Creates the new file. With `privateFolder`, a folder in which other users can change files
    // is refused with EPERM (see OthersCanChangeFilesIn). Returns 0 or the errno.
    int Begin(const std::string& path, bool privateFolder);
    // The new file, open for writing; -1 before Begin.
    int Descriptor() const { return m_fd; }
    // Closes the new file and renames it over the path; with `sync`, the file is synced before
    // and the folder after. Returns 0 or the errno; on failure the path is as it was.
    int Commit(bool sync);
    // Removes the new file; the path is as it was.
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
