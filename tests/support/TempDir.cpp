#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "trevalo-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary directory");
    m_path = pattern;
    std::filesystem::create_directories(m_path + "/config");
    std::filesystem::create_directories(m_path + "/data");
    std::filesystem::create_directories(m_path + "/peers");
    std::filesystem::create_directories(m_path + "/openvpn");
    ::setenv("XDG_CONFIG_HOME", (m_path + "/config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (m_path + "/data").c_str(), 1);
    ::setenv("TREVALO_PEERS_DIR", (m_path + "/peers").c_str(), 1);
    ::setenv("TREVALO_OPENVPN_DIR", (m_path + "/openvpn").c_str(), 1);
    // A system bus nobody listens on: the machine's NetworkManager connections stay out of the lists.
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + m_path + "/no-system-bus").c_str(), 1);
}

TempDir::~TempDir()
{
    std::error_code ignored;
    // Tests may take write permission away; give it back so everything can go.
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
        if (it->is_directory(ignored))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ignored);
    std::filesystem::remove_all(m_path, ignored);
}

ScopedPath::ScopedPath(const std::string& path) : m_previous(std::getenv("PATH"))
{
    ::setenv("PATH", path.c_str(), 1);
}

ScopedPath::~ScopedPath()
{
    ::setenv("PATH", m_previous.c_str(), 1);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out)
        ADD_FAILURE() << "cannot write " << path;
}

bool PathExists(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
}

std::vector<std::string> FilesHolding(const std::string& root, const std::vector<std::string>& needles)
{
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file())
            continue;
        const std::string content = ReadFile(entry.path().string());
        for (const std::string& needle : needles)
            if (content.find(needle) != std::string::npos)
                found.push_back(entry.path().string() + " holds " + needle);
    }
    return found;
}
