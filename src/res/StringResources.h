#pragma once

#include <span>
#include <string_view>

struct StringResource {
    unsigned id;
    std::string_view text;
};

// The string table, sorted by identifier.
std::span<const StringResource> StringResources();
