#include "ProfileNames.h"

#include <algorithm>

namespace {

char FoldAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool ProfileNamesEqual(std::string_view a, std::string_view b)
{
    // Names mostly match in their case too: one plain comparison settles those.
    return a == b || std::equal(a.begin(), a.end(), b.begin(), b.end(),
                                [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}
