#include "Reachable.h"

#include "TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool IsScript(const fs::path& path)
{
    char start[2] = {};
    std::ifstream(path, std::ios::binary).read(start, 2);
    return start[0] == '#' && start[1] == '!';
}

// Not a global: the tests' own globals may need it before this file's are made.
const fs::path& Build()
{
    static const fs::path build = TREVALO_BUILD_DIR;
    return build;
}

class Stage {
public:
    Stage() : m_owner(::getpid())
    {
        char name[] = "/tmp/trevalo-programs-XXXXXX";
        if (::mkdtemp(name) == nullptr)
            throw fs::filesystem_error("cannot make a folder for the programs", name,
                                       std::error_code(errno, std::generic_category()));
        m_path = name;
        ::chmod(name, 0755);
        for (const auto& entry : fs::directory_iterator(Build() / "lib"))
            if (entry.path().extension() == ".so")
                Place(entry.path());
    }

    // Children forked by a test end without removing what their parent still uses.
    ~Stage()
    {
        std::error_code ignored;
        if (::getpid() == m_owner)
            fs::remove_all(m_path, ignored);
    }

    fs::path Place(const fs::path& original)
    {
        const fs::path relative = original.lexically_relative(Build());
        if (relative.empty() || *relative.begin() == "..")
            return original;
        const fs::path staged = m_path / relative;
        if (fs::exists(staged))
            return staged;
        for (fs::path folder = m_path; const fs::path& part : relative.parent_path())
            if (fs::create_directory(folder /= part))
                ::chmod(folder.c_str(), 0755);
        if (IsScript(original)) {
            WriteFile(staged, WithPathsPlaced(ReadFile(original)));
            ::chmod(staged.c_str(), 0755);
        } else if (::link(original.c_str(), staged.c_str()) != 0) {
            fs::copy_file(original, staged);
        }
        return staged;
    }

private:
    // The script's paths into the build tree, placed and turned into the folder's.
    std::string WithPathsPlaced(std::string text)
    {
        const std::string build = Build().string() + "/";
        for (size_t at = text.find(build); at != std::string::npos; at = text.find(build, at)) {
            const size_t length = text.find_first_of(" \t\n\"';", at) - at;
            const fs::path original = text.substr(at, length);
            const std::string staged = fs::is_regular_file(original)
                                           ? Place(original).string()
                                           : (m_path / original.lexically_relative(Build())).string();
            text.replace(at, length, staged);
            at += staged.size();
        }
        return text;
    }

    pid_t m_owner;
    fs::path m_path;
};

} // namespace

std::string Reachable(const std::string& path)
{
    static Stage stage;
    return stage.Place(path);
}
