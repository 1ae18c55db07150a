#include "KeyArgument.h"

#include "RegData.h"

#include <platform/Registry.h>

#include <algorithm>

namespace {

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool ValidNames(std::string_view path)
{
    while (!path.empty()) {
        const std::size_t slash = path.find('\\');
        const std::string_view name = path.substr(0, slash);
        if (name.empty() || name.size() > kMaxKeyNameLength)
            return false;
        if (slash == std::string_view::npos)
            break;
        path.remove_prefix(slash + 1);
        if (path.empty())
            return false;
    }
    return true;
}

} // namespace

bool ParseKeyArgument(std::string_view text, std::string& path)
{
    if (!text.empty() && text.back() == '\\')
        text.remove_suffix(1);
    const std::size_t slash = text.find('\\');
    const std::string_view root = text.substr(0, slash);
    if (!EqualsNoCase(root, kRootName) && !EqualsNoCase(root, "HKLM"))
        return false;
    const std::string_view rest = slash == std::string_view::npos ? std::string_view{} : text.substr(slash + 1);
    if (slash != std::string_view::npos && rest.empty())
        return false;
    if (!ValidNames(rest))
        return false;
    path = rest;
    return true;
}

std::string FullKeyName(const std::string& path)
{
    return path.empty() ? kRootName : std::string(kRootName) + "\\" + path;
}

std::string KeyPathFault(std::string_view path)
{
    const std::size_t depth =
        path.empty() ? 0 : static_cast<std::size_t>(std::count(path.begin(), path.end(), '\\')) + 1;
    if (depth > kMaxKeyDepth)
        return "it is " + std::to_string(depth) + " levels deep, deeper than the " + std::to_string(kMaxKeyDepth) +
               " levels a key can have";
    if (path.find_first_of("\r\n") != std::string_view::npos)
        return "a name in it holds a line break, which a .reg file cannot hold";
    return {};
}
