#pragma once

#include "WipingAllocator.h"

#include <cstddef>
#include <string_view>

// The longest line of secret input kept: far more than any seed, link, passphrase or PIN, and a
// bound on what a huge link, or `import < /dev/zero`, makes the tool read and hold.
constexpr std::size_t kMaxSecretLine = 65536;

// Reads one line of secret input: from the terminal with echo off after showing `prompt` on
// standard error, or, when standard input is not a terminal, the next line of it without a
// prompt. The line ends are dropped. False at the end of the input. A line longer than
// kMaxSecretLine is not read to its end: `line` then holds kMaxSecretLine + 1 bytes of it.
bool ReadSecretLine(const char* prompt, SecretBytes& line);

inline bool IsTooLong(const SecretBytes& line)
{
    return line.size() > kMaxSecretLine;
}
