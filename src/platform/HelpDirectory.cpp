#include "HelpDirectory.h"

std::filesystem::path FindHelpDirectory(const std::filesystem::path& programDirectory,
                                        const std::filesystem::path& installedDirectory)
{
    const std::filesystem::path beside = programDirectory / ".." / "share" / "trevalo" / "help";
    std::error_code error;
    if (std::filesystem::is_directory(beside, error))
        return beside.lexically_normal();
    return installedDirectory;
}
