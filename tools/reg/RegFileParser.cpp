#include "RegFileParser.h"

#include "KeyArgument.h"

#include <platform/Registry.h>

#include <charconv>

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

struct Line {
    int number = 0;
    std::string text;
};

std::string_view TrimRight(std::string_view text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::string_view TrimLeft(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    return text;
}

// Physical lines joined where a value line ends with a backslash (a key line stands alone); each
// keeps the number of its first line.
std::vector<Line> LogicalLines(std::string_view text)
{
    if (text.starts_with("\xef\xbb\xbf"))
        text.remove_prefix(3);
    std::vector<Line> lines;
    bool continued = false;
    for (int number = 1; !text.empty(); ++number) {
        const std::size_t end = text.find('\n');
        std::string_view piece = TrimRight(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (continued)
            piece = TrimLeft(piece);
        else
            lines.push_back({number, {}});
        continued = !piece.empty() && piece.back() == '\\' && !piece.starts_with("[");
        if (continued)
            piece.remove_suffix(1);
        lines.back().text += piece;
    }
    return lines;
}

bool ReadHexNumber(std::string_view digits, DWORD& number)
{
    if (digits.empty() || digits.size() > 8)
        return false;
    const auto [end, failure] = std::from_chars(digits.data(), digits.data() + digits.size(), number, 16);
    return failure == std::errc() && end == digits.data() + digits.size();
}

// The escape at the start of `escape` (just past its backslash): \\, \" or \xHH, where HH is not
// 00 (no name can hold a zero byte). Adds the character to `text`; false for anything else.
bool ReadEscape(std::string_view escape, std::size_t& length, std::string& text)
{
    DWORD code = 0;
    if (escape.starts_with("x")) {
        if (escape.size() < 3 || !ReadHexNumber(escape.substr(1, 2), code) || code == 0)
            return false;
        length = 3;
        text += static_cast<char>(code);
        return true;
    }
    if (!escape.starts_with("\\") && !escape.starts_with("\""))
        return false;
    length = 1;
    text += escape.front();
    return true;
}

// A quoted text at the start of `rest`, with \\, \" and \xHH escapes; `rest` moves past it.
bool ReadQuoted(std::string_view& rest, std::string& text)
{
    text.clear();
    for (std::size_t i = 1; i < rest.size(); ++i) {
        if (rest[i] == '"') {
            rest.remove_prefix(i + 1);
            return true;
        }
        if (rest[i] != '\\') {
            text += rest[i];
            continue;
        }
        std::size_t length = 0;
        if (!ReadEscape(rest.substr(i + 1), length, text))
            return false;
        i += length;
    }
    return false;
}

bool ReadHexBytes(std::string_view list, std::vector<unsigned char>& bytes)
{
    bytes.clear();
    list = TrimLeft(list);
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view item = TrimLeft(TrimRight(list.substr(0, comma)));
        DWORD byte = 0;
        if (item.size() > 2 || !ReadHexNumber(item, byte))
            return false;
        bytes.push_back(static_cast<unsigned char>(byte));
        if (comma == std::string_view::npos)
            break;
        list.remove_prefix(comma + 1);
        if (TrimLeft(list).empty())
            return false;
    }
    return true;
}

class Parser {
public:
    Parser(std::vector<RegFileOperation>& operations, RegFileError& error) : m_operations(operations), m_error(error) {}

    bool Parse(std::string_view text)
    {
        bool headerSeen = false;
        for (const Line& line : LogicalLines(text)) {
            m_line = line.number;
            if (line.text.empty() || line.text.starts_with(";"))
                continue;
            if (!headerSeen) {
                if (line.text != kHeader)
                    return Fail("not a registry file: the first line must be \"" + std::string(kHeader) + "\"");
                headerSeen = true;
            } else if (!(line.text.starts_with("[") ? KeyLine(line.text) : ValueLine(line.text))) {
                return false;
            }
        }
        return headerSeen || Fail("not a registry file: it is empty");
    }

private:
    bool Fail(const std::string& message)
    {
        m_error = {m_line, message};
        return false;
    }

    void Add(RegFileOperation::Kind kind, RegValue value = {})
    {
        m_operations.push_back({kind, m_line, m_path, std::move(value)});
    }

    bool KeyLine(std::string_view text)
    {
        if (!text.ends_with("]"))
            return Fail("a key line must end with \"]\"");
        text = text.substr(1, text.size() - 2);
        const bool remove = text.starts_with("-");
        if (remove)
            text.remove_prefix(1);
        if (!ParseKeyArgument(text, m_path))
            return Fail("bad key name \"" + std::string(text) +
                        "\": expected HKEY_LOCAL_MACHINE\\ and names of 1 to 255 characters");
        if (const std::string fault = KeyPathFault(m_path); !fault.empty())
            return Fail("bad key: " + fault);
        if (remove && m_path.empty())
            return Fail("HKEY_LOCAL_MACHINE itself cannot be deleted");
        m_haveKey = !remove;
        Add(remove ? RegFileOperation::Kind::DeleteKey : RegFileOperation::Kind::CreateKey);
        return true;
    }

    bool ValueLine(std::string_view rest)
    {
        if (!m_haveKey)
            return Fail("a value must follow a [key] line");
        RegValue value;
        if (rest.starts_with("@")) {
            rest.remove_prefix(1);
        } else if (!rest.starts_with("\"") || !ReadQuoted(rest, value.name)) {
            return Fail("bad value name: expected @ or a name in quotes (with \\\\, \\\" and \\xHH escapes)");
        }
        if (!rest.starts_with("="))
            return Fail("expected \"=\" after the value name");
        rest.remove_prefix(1);
        if (rest == "-") {
            Add(RegFileOperation::Kind::DeleteValue, std::move(value));
            return true;
        }
        if (!ValueData(rest, value))
            return false;
        Add(RegFileOperation::Kind::SetValue, std::move(value));
        return true;
    }

    bool ValueData(std::string_view rest, RegValue& value)
    {
        if (rest.starts_with("\"")) {
            std::string text;
            if (!ReadQuoted(rest, text) || !rest.empty())
                return Fail("bad text: expected one text in quotes (with \\\\, \\\" and \\xHH escapes)");
            value.type = REG_SZ;
            value.data.assign(text.begin(), text.end());
            value.data.push_back(0);
            return true;
        }
        if (rest.starts_with("dword:")) {
            DWORD number = 0;
            if (!ReadHexNumber(rest.substr(6), number))
                return Fail("bad number \"" + std::string(rest.substr(6)) + "\": expected 1 to 8 hexadecimal digits");
            value.type = REG_DWORD;
            value.data = {static_cast<unsigned char>(number), static_cast<unsigned char>(number >> 8),
                          static_cast<unsigned char>(number >> 16), static_cast<unsigned char>(number >> 24)};
            return true;
        }
        return HexData(rest, value);
    }

    bool HexData(std::string_view rest, RegValue& value)
    {
        if (rest.starts_with("hex:")) {
            value.type = REG_BINARY;
            rest.remove_prefix(4);
        } else if (rest.starts_with("hex(") && rest.find("):") != std::string_view::npos) {
            const std::size_t close = rest.find("):");
            if (!ReadHexNumber(rest.substr(4, close - 4), value.type))
                return Fail("bad value type \"" + std::string(rest.substr(0, close + 2)) + "\"");
            rest.remove_prefix(close + 2);
        } else {
            return Fail("unknown value type \"" + std::string(rest.substr(0, rest.find(':'))) +
                        "\": expected text in quotes, dword:, hex: or hex(N):");
        }
        if (!ReadHexBytes(rest, value.data))
            return Fail("bad hex data: expected bytes of two hexadecimal digits separated by commas");
        return true;
    }

    std::vector<RegFileOperation>& m_operations;
    RegFileError& m_error;
    int m_line = 0;
    std::string m_path;
    bool m_haveKey = false;
};

} // namespace

bool ParseRegFile(std::string_view text, std::vector<RegFileOperation>& operations, RegFileError& error)
{
    operations.clear();
    Parser parser(operations, error);
    if (parser.Parse(text))
        return true;
    operations.clear();
    return false;
}
