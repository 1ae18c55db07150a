#pragma once

#include "WipingAllocator.h"

#include <string_view>

// Reads one line of secret input: from the terminal with echo off after showing `prompt` on
// standard error, or, when standard input is not a terminal, the next line of it without a
// prompt. The line ends are dropped. False at the end of the input.
bool ReadSecretLine(const char* prompt, SecretBytes& line);

inline std::string_view AsText(const SecretBytes& bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}
