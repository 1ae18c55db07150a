#include "Base32.h"

#include <cstdint>

namespace {

int Base32Value(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a';
    if (c >= '2' && c <= '7')
        return c - '2' + 26;
    return -1;
}

std::string_view WithoutPadding(std::string_view text)
{
    while (!text.empty() && (text.back() == '=' || text.back() == ' '))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::optional<SecretBytes> DecodeBase32(std::string_view text)
{
    SecretBytes bytes;
    bytes.reserve(text.size() * 5 / 8 + 1);
    std::uint32_t buffer = 0;
    int bits = 0;
    std::size_t symbols = 0;
    for (char c : WithoutPadding(text)) {
        if (c == ' ')
            continue;
        const int value = Base32Value(c);
        if (value < 0)
            return std::nullopt;
        buffer = (buffer << 5) | static_cast<std::uint32_t>(value);
        bits += 5;
        ++symbols;
        if (bits >= 8) {
            bits -= 8;
            bytes.push_back(static_cast<unsigned char>((buffer >> bits) & 0xff));
        }
    }
    OPENSSL_cleanse(&buffer, sizeof buffer);
    // 1, 3 or 6 symbols in the last group of eight cannot come from whole bytes.
    const std::size_t tail = symbols % 8;
    if (tail == 1 || tail == 3 || tail == 6)
        return std::nullopt;
    return bytes;
}
