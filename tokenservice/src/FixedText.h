#pragma once

#include <algorithm>
#include <cstring>
#include <string_view>

// Copies `text` into a fixed field of a C record, cut to fit and always NUL-terminated.
template <std::size_t Size>
void CopyFixedText(char (&field)[Size], std::string_view text)
{
    const std::size_t length = std::min(text.size(), Size - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}
