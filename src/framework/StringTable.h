#pragma once

#include <optional>
#include <string>
#include <string_view>

// The string table: texts addressed by numeric identifier.

// The text of `id`, which lasts as long as the program; nullopt for an unknown identifier.
std::optional<std::string_view> FindString(unsigned id);

// Stores the text of `id` in `text`; false, with `text` untouched, for an unknown identifier.
bool LoadString(unsigned id, std::string& text);

// Replaces each "%1" in `format` by `arg1` and each "%2" by `arg2`; an inserted text is not
// searched again, and any other "%" stays as it is.
std::string FormatText(std::string_view format, std::string_view arg1, std::string_view arg2 = {});

// The text of `id` formatted with one or two inserts; empty for an unknown identifier.
std::string FormatString1(unsigned id, std::string_view arg1);
std::string FormatString2(unsigned id, std::string_view arg1, std::string_view arg2);
