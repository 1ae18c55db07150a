#include "EntryFiles.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace {

bool IsEntry(const std::string& directory, const dirent* item, std::string_view suffix)
{
    const std::string_view name = item->d_name;
    if (name.front() == '.' || name.size() <= suffix.size() || !name.ends_with(suffix))
        return false;
    struct stat info {};
    // stat, not lstat: a link to an entry file is an entry.
    return ::stat((directory + "/" + item->d_name).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

std::vector<std::string> EntryFiles(const std::string& directory, std::string_view suffix)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr)
        return names;
    while (const dirent* item = ::readdir(dir))
        if (IsEntry(directory, item, suffix))
            names.emplace_back(item->d_name, std::char_traits<char>::length(item->d_name) - suffix.size());
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}
