#pragma once

#include <string>
#include <vector>

// A fresh directory under the system's temporary directory, removed with everything in it.
// It also points XDG_CONFIG_HOME, XDG_DATA_HOME, TREVALO_PEERS_DIR, TREVALO_OPENVPN_DIR and the
// D-Bus system bus into itself, so no test touches the user's real hive, token database, /etc/ppp,
// /etc/openvpn or NetworkManager.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// PATH set to `path` while it lives, the old value back afterwards, even when a test stops early.
class ScopedPath {
public:
    explicit ScopedPath(const std::string& path);
    ~ScopedPath();
    ScopedPath(const ScopedPath&) = delete;
    ScopedPath& operator=(const ScopedPath&) = delete;

private:
    std::string m_previous;
};

// Whole-file helpers for tests.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);
bool PathExists(const std::string& path);
// Every regular file below `root` that holds one of `needles`, each as "PATH holds NEEDLE".
std::vector<std::string> FilesHolding(const std::string& root, const std::vector<std::string>& needles);
