#include "TokenRules.h"

#include <algorithm>

namespace {

bool HasControlCharacter(std::string_view text)
{
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

} // namespace

namespace TokenRules {

std::string CheckSerial(std::string_view serial)
{
    if (serial.empty())
        return "the serial number is empty";
    if (serial.size() > kMaxSerial)
        return "the serial number is longer than 23 bytes";
    // The program shows "serial - user" and cuts the serial at the first hyphen again.
    if (serial.find_first_of(" -") != std::string_view::npos || HasControlCharacter(serial))
        return "the serial number may not contain spaces, hyphens or control characters";
    return {};
}

std::string CheckUser(std::string_view user)
{
    if (user.empty())
        return "the user name is empty";
    if (user.size() > kMaxUser)
        return "the user name is longer than 47 bytes";
    if (HasControlCharacter(user))
        return "the user name may not contain control characters";
    return {};
}

std::string CheckDigits(int digits)
{
    if (digits < 6 || digits > 8)
        return "digits must be 6, 7 or 8";
    return {};
}

std::string CheckPeriod(int period)
{
    if (period != 30 && period != 60)
        return "the period must be 30 or 60 seconds";
    return {};
}

std::string CheckSeedSize(std::size_t bytes)
{
    if (bytes < kMinSeedBytes)
        return "the seed is shorter than 80 bits";
    if (bytes > kMaxSeedBytes)
        return "the seed is longer than 1024 bits";
    return {};
}

} // namespace TokenRules
