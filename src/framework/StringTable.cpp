#include "StringTable.h"

#include <res/StringResources.h>

#include <algorithm>

std::optional<std::string_view> FindString(unsigned id)
{
    const auto strings = StringResources();
    const auto found = std::lower_bound(strings.begin(), strings.end(), id,
                                        [](const StringResource& entry, unsigned key) { return entry.id < key; });
    if (found == strings.end() || found->id != id)
        return std::nullopt;
    return found->text;
}

bool LoadString(unsigned id, std::string& text)
{
    const auto found = FindString(id);
    if (!found)
        return false;
    text = *found;
    return true;
}

std::string FormatText(std::string_view format, std::string_view arg1, std::string_view arg2)
{
    std::string result;
    result.reserve(format.size() + arg1.size() + arg2.size());
    for (std::size_t pos = 0; pos < format.size(); ++pos) {
        if (format[pos] == '%' && pos + 1 < format.size() && (format[pos + 1] == '1' || format[pos + 1] == '2')) {
            result += format[pos + 1] == '1' ? arg1 : arg2;
            ++pos;
        } else {
            result += format[pos];
        }
    }
    return result;
}

std::string FormatString1(unsigned id, std::string_view arg1)
{
    return FormatString2(id, arg1, {});
}

std::string FormatString2(unsigned id, std::string_view arg1, std::string_view arg2)
{
    std::string format;
    if (!LoadString(id, format))
        return {};
    return FormatText(format, arg1, arg2);
}
