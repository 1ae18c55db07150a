#pragma once

#include <string>
#include <string_view>

// Upper-cases UTF-8 text character by character. Bytes that are not valid UTF-8 are kept as
// they are, so a file name never loses a byte.
std::string UpperCaseMultiByte(std::string_view text);
