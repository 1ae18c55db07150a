#include "RegFileWriter.h"

#include "KeyArgument.h"

#include <platform/Registry.h>

#include <algorithm>
#include <cstdio>

namespace {

bool IsLineBreak(char c)
{
    return c == '\n' || c == '\r';
}

std::string LineBreakEscape(char c)
{
    return c == '\n' ? "\\x0a" : "\\x0d";
}

// `text` in quotes with \\ and \" escapes, and a line break as \x0a or \x0d: as it is it would end
// the line. Only names need that: text data with a line break is written as hex.
std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            quoted += '\\';
        quoted += IsLineBreak(c) ? LineBreakEscape(c) : std::string(1, c);
    }
    return quoted + "\"";
}

// The full name of a key for a message, with its line breaks escaped as in a quoted name.
std::string PrintableKeyName(const std::string& path)
{
    std::string name;
    for (char c : FullKeyName(path))
        name += IsLineBreak(c) ? LineBreakEscape(c) : std::string(1, c);
    return name;
}

bool IsPlainText(const RegValue& value)
{
    const auto& data = value.data;
    if (value.type != REG_SZ || data.empty() || data.back() != 0)
        return false;
    return std::none_of(data.begin(), data.end() - 1, [](unsigned char c) { return c == 0 || c == '\n' || c == '\r'; });
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
            fault = "key " + PrintableKeyName(key.path) + ": " + fault;
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
