#pragma once

#include <string_view>

// Profile names compare byte by byte with the letters A to Z equal to a to z.
bool ProfileNamesEqual(std::string_view a, std::string_view b);
