#include "RegFileWriter.h"

#include "KeyArgument.h"

#include <platform/Registry.h>

#include <ShownText.h>

#include <algorithm>
#include <cstdio>

namespace {

std::string WithQuoteEscapes(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        if (c == '\\' || c == '"')
            escaped += '\\';
        escaped += c;
    }
    return escaped;
}

// ShownText::Escaped, but a zero byte stays as it is: the parser takes no \x00 yet reads the byte
// itself, and a terminal shows nothing for it. (Only a name read from a file can hold one; the
// hive's calls take names as C strings.)
std::string EscapedButZeros(std::string_view text)
{
    std::string escaped;
    for (std::size_t zero; (zero = text.find('\0')) != std::string_view::npos; text.remove_prefix(zero + 1))
        escaped += ShownText::Escaped(text.substr(0, zero)) + '\0';
    return escaped + ShownText::Escaped(text);
}

// `text` in quotes with \\ and \" escapes, and written as \xNN, which the parser reads back: each
// byte of a control character or a bidirectional control (a line break as it is would end the
// line, the others would reach the terminal of whoever shows the file) and each byte that is not
// UTF-8. Every backslash is doubled, so text holding "\x41" itself is written "\\x41" and comes
// back as it was.
std::string Quoted(const std::string& text)
{
    return "\"" + EscapedButZeros(WithQuoteEscapes(text)) + "\"";
}

bool IsPlainText(const RegValue& value)
{
    const auto& data = value.data;
    if (value.type != REG_SZ || data.empty() || data.back() != 0)
        return false;
    return std::find(data.begin(), data.end() - 1, 0) == data.end() - 1;
}

std::string Hex(const RegValue& value)
{
    char prefix[24];
    if (value.type == REG_BINARY)
        std::snprintf(prefix, sizeof prefix, "hex:");
    else
        std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
    std::string text = prefix;
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02x", value.data[i]);
        text += (i > 0 ? "," : "") + std::string(byte);
    }
    return text;
}

std::string Data(const RegValue& value)
{
    if (IsPlainText(value))
        return Quoted(std::string(value.data.begin(), value.data.end() - 1));
    if (value.type == REG_DWORD && value.data.size() == 4) {
        const DWORD number = DWORD{value.data[0]} | DWORD{value.data[1]} << 8 | DWORD{value.data[2]} << 16 |
                             DWORD{value.data[3]} << 24;
        char text[20];
        std::snprintf(text, sizeof text, "dword:%08x", number);
        return text;
    }
    return Hex(value);
}

} // namespace

std::string FormatRegValue(const RegValue& value)
{
    return (value.name.empty() ? "@" : Quoted(value.name)) + "=" + Data(value);
}

bool FormatRegFile(const std::vector<RegKeyRecord>& keys, std::string& text, std::string& fault)
{
    text = "Windows Registry Editor Version 5.00\n\n";
    for (const RegKeyRecord& key : keys) {
        if (fault = KeyPathFault(key.path); !fault.empty()) {
            fault = "key " + ShownText::Escaped(FullKeyName(key.path)) + ": " + fault;
            text.clear();
            return false;
        }
        text += "[" + FullKeyName(key.path) + "]\n";
        for (const RegValue& value : key.values)
            text += FormatRegValue(value) + "\n";
        text += "\n";
    }
    return true;
}
