#include "ShownText.h"

#include <cstdio>

namespace {

constexpr std::size_t kInvalid = 0;

// The length of the UTF-8 sequence at the start of `text`, with its code point in `codePoint`;
// kInvalid for a byte that does not start a valid sequence (a stray continuation byte, an
// overlong form, a surrogate, a value above U+10FFFF or a cut-off sequence).
std::size_t Decode(std::string_view text, char32_t& codePoint)
{
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80; // the allowed range of the second byte
    unsigned char high = 0xbf;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        low = lead == 0xe0 ? 0xa0 : 0x80;
        high = lead == 0xed ? 0x9f : 0xbf;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf;
    } else {
        return kInvalid;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return kInvalid;
    codePoint = lead & (0x7f >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xc0) != 0x80)
            return kInvalid;
        codePoint = codePoint << 6 | (byte(i) & 0x3f);
    }
    return length;
}

bool IsControl(char32_t codePoint)
{
    return codePoint < 0x20 || (codePoint >= 0x7f && codePoint <= 0x9f);
}

bool IsBidiControl(char32_t codePoint)
{
    return codePoint == 0x200e || codePoint == 0x200f || (codePoint >= 0x202a && codePoint <= 0x202e) ||
           (codePoint >= 0x2066 && codePoint <= 0x2069);
}

bool IsAnyControl(char32_t codePoint)
{
    return IsControl(codePoint) || IsBidiControl(codePoint);
}

std::string Refusal(std::string_view what, const char* kind, char32_t codePoint)
{
    char shown[16];
    std::snprintf(shown, sizeof shown, "U+%04X", static_cast<unsigned>(codePoint));
    return std::string(what) + " may not contain " + kind + " (it has " + shown + ")";
}

} // namespace

namespace ShownText {

std::string Check(std::string_view what, std::string_view text)
{
    while (!text.empty()) {
        char32_t codePoint = 0;
        const std::size_t length = Decode(text, codePoint);
        if (length == kInvalid)
            return std::string(what) + " is not UTF-8 text";
        if (IsControl(codePoint))
            return Refusal(what, "control characters", codePoint);
        if (IsBidiControl(codePoint))
            return Refusal(what, "bidirectional controls", codePoint);
        text.remove_prefix(length);
    }
    return {};
}

bool HasControls(std::string_view text)
{
    while (!text.empty()) {
        char32_t codePoint = 0;
        const std::size_t length = Decode(text, codePoint);
        if (length != kInvalid && IsAnyControl(codePoint))
            return true;
        text.remove_prefix(length == kInvalid ? 1 : length);
    }
    return false;
}

std::string Escaped(std::string_view text)
{
    std::string shown;
    shown.reserve(text.size());
    while (!text.empty()) {
        char32_t codePoint = 0;
        std::size_t length = Decode(text, codePoint);
        if (length != kInvalid && !IsAnyControl(codePoint)) {
            shown.append(text.substr(0, length));
        } else {
            // One byte at a time: after a bad byte the next one may start a good sequence.
            length = length == kInvalid ? 1 : length;
            for (std::size_t i = 0; i < length; ++i) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(text[i]));
                shown += escape;
            }
        }
        text.remove_prefix(length);
    }
    return shown;
}

} // namespace ShownText
