#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

std::string MakeScratchDirectory()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "trevalo-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary directory");
    return pattern;
}

void RemoveScratchDirectory()
{
    std::error_code ignored;
    std::filesystem::remove_all(ScratchDirectory(), ignored);
}

} // namespace

void Require(bool condition, const char* target, const std::string& what)
{
    if (condition)
        return;
    std::fprintf(stderr, "%s: %s\n", target, what.c_str());
    std::abort();
}

const std::string& ScratchDirectory()
{
    static const std::string path = MakeScratchDirectory();
    // Registered after `path` is made, so it runs before `path` is destroyed.
    static const bool removedAtExit = std::atexit(RemoveScratchDirectory) == 0;
    static_cast<void>(removedAtExit);
    return path;
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteWholeFile(const std::string& path, std::string_view content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}
