#include "FileFind.h"

#include <glob.h>
#include <sys/stat.h>

bool FindFile(const std::string& pattern)
{
    if (pattern.empty())
        return false;
    // The name as it is first: a name may hold "[" or "\" literally.
    struct stat info {};
    if (::lstat(pattern.c_str(), &info) == 0)
        return true;
    if (pattern.find_first_of("*?") == std::string::npos)
        return false;
    glob_t matches{};
    const bool found =
        ::glob(pattern.c_str(), GLOB_NOSORT | GLOB_NOESCAPE, nullptr, &matches) == 0 && matches.gl_pathc > 0;
    ::globfree(&matches);
    return found;
}
