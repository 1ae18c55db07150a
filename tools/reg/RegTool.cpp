#include "RegTool.h"

#include "HiveTree.h"
#include "KeyArgument.h"
#include "RegFileParser.h"
#include "RegFileWriter.h"

#include <platform/HiveLocation.h>
#include <platform/Registry.h>

#include <ShownText.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

using Arguments = std::vector<std::string>;

class Tool {
public:
    Tool(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

    int Run(const Arguments& arguments);

private:
    int Query(const Arguments& arguments);
    int Add(const Arguments& arguments);
    int Delete(const Arguments& arguments);
    int Export(const Arguments& arguments);
    int Import(const Arguments& arguments);

    int Usage(const std::string& message);
    int Failure(const std::string& message);
    int HiveFailure(const std::string& what, LSTATUS status);
    bool Options(const Arguments& arguments, std::size_t first, std::map<std::string, std::string>& options);
    bool Key(const std::string& argument, std::string& path);
    void PrintValue(const RegValue& value);

    std::ostream& m_out;
    std::ostream& m_err;
};

std::string Upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string StatusText(LSTATUS status)
{
    switch (status) {
    case ERROR_FILE_NOT_FOUND:
        return "no such key or value";
    case ERROR_ACCESS_DENIED:
        return "access denied: this user may not read and write the hive " + RegistryHivePath();
    case ERROR_INVALID_PARAMETER:
        return "invalid key name";
    case ERROR_REGISTRY_CORRUPT:
        return "the hive " + RegistryHivePath() + " is damaged; it was left as it is";
    case ERROR_BUSY:
        return "the hive is busy; try again";
    case ERROR_DISK_FULL:
        return "the disk is full";
    default:
        return "registry error " + std::to_string(status);
    }
}

bool ParseNumber(const std::string& text, DWORD& number)
{
    const bool hex = text.starts_with("0x") || text.starts_with("0X");
    const char* begin = text.data() + (hex ? 2 : 0);
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(begin, end, number, hex ? 16 : 10);
    return begin != end && failure == std::errc() && stop == end;
}

std::string TypeName(DWORD type)
{
    switch (type) {
    case REG_NONE:
        return "REG_NONE";
    case REG_SZ:
        return "REG_SZ";
    case REG_BINARY:
        return "REG_BINARY";
    case REG_DWORD:
        return "REG_DWORD";
    default:
        return "REG_TYPE_" + std::to_string(type);
    }
}

std::string DisplayData(const RegValue& value)
{
    const auto& data = value.data;
    if (value.type == REG_SZ)
        return std::string(data.begin(), std::find(data.begin(), data.end(), 0));
    char text[16];
    if (value.type == REG_DWORD && data.size() == 4) {
        std::snprintf(text, sizeof text, "0x%x",
                      DWORD{data[0]} | DWORD{data[1]} << 8 | DWORD{data[2]} << 16 | DWORD{data[3]} << 24);
        return text;
    }
    std::string hex;
    for (unsigned char byte : data) {
        std::snprintf(text, sizeof text, "%02X", byte);
        hex += text;
    }
    return hex;
}

// Writes `text` to a new or truncated file, readable by its owner only: exports can hold
// profile details.
bool WriteTextFile(const std::string& path, const std::string& text)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t got = ::write(fd, text.data() + written, text.size() - written);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        written += static_cast<std::size_t>(got);
    }
    return ::close(fd) == 0 && written == text.size();
}

bool ReadTextFile(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream content;
    content << in.rdbuf();
    text = content.str();
    return !in.bad();
}

int Tool::Run(const Arguments& arguments)
{
    if (arguments.empty())
        return Usage("no command given");
    const std::string command = arguments[0];
    if (command == "--help" || command == "-h" || command == "/?") {
        m_out << RegToolUsage();
        return kDone;
    }
    if (command == "--version") {
        m_out << "trevalo-reg (Trevalo) " TREVALO_VERSION "\n";
        return kDone;
    }
    const Arguments rest(arguments.begin() + 1, arguments.end());
    const std::string name = Upper(command);
    if (name == "QUERY")
        return Query(rest);
    if (name == "ADD")
        return Add(rest);
    if (name == "DELETE")
        return Delete(rest);
    if (name == "EXPORT")
        return Export(rest);
    if (name == "IMPORT")
        return Import(rest);
    return Usage("unknown command \"" + command + "\"");
}

// Messages quote keys, names and lines of .reg files: shown escaped, as query shows them.
int Tool::Usage(const std::string& message)
{
    m_err << "trevalo-reg: " << ShownText::Escaped(message) << "\n\n" << RegToolUsage();
    return kUsage;
}

int Tool::Failure(const std::string& message)
{
    m_err << "trevalo-reg: " << ShownText::Escaped(message) << "\n";
    return kFailed;
}

int Tool::HiveFailure(const std::string& what, LSTATUS status)
{
    return Failure(what + ": " + StatusText(status));
}

bool Tool::Key(const std::string& argument, std::string& path)
{
    if (ParseKeyArgument(argument, path))
        return true;
    m_err << "trevalo-reg: bad key \"" << ShownText::Escaped(argument)
          << "\": expected HKEY_LOCAL_MACHINE\\... (or HKLM\\...) with names of 1 to 255 characters\n";
    return false;
}

// Options "/v NAME", "/t TYPE", "/d DATA" from `first` on; false (after a usage message) for
// anything else.
bool Tool::Options(const Arguments& arguments, std::size_t first, std::map<std::string, std::string>& options)
{
    for (std::size_t i = first; i < arguments.size(); i += 2) {
        const std::string option = Upper(arguments[i]);
        if (option != "/V" && option != "/T" && option != "/D") {
            Usage("unknown option \"" + arguments[i] + "\"");
            return false;
        }
        if (i + 1 >= arguments.size()) {
            Usage("option " + arguments[i] + " needs a value");
            return false;
        }
        options[option] = arguments[i + 1];
    }
    return true;
}

// What the hive holds may come from anyone's .reg file: control characters and bidirectional
// controls in it are shown as \xNN, never sent to the terminal.
void Tool::PrintValue(const RegValue& value)
{
    m_out << "    " << (value.name.empty() ? "(Default)" : ShownText::Escaped(value.name)) << "    "
          << TypeName(value.type) << "    " << ShownText::Escaped(DisplayData(value)) << "\n";
}

int Tool::Query(const Arguments& arguments)
{
    std::map<std::string, std::string> options;
    if (arguments.empty())
        return Usage("query needs a key");
    std::string path;
    if (!Key(arguments[0], path))
        return kUsage;
    if (!Options(arguments, 1, options))
        return kUsage;
    if (options.count("/T") || options.count("/D"))
        return Usage("query takes only /v");
    std::vector<RegValue> values;
    std::vector<std::string> subkeys;
    if (LSTATUS status = ReadKey(path, values, subkeys); status != ERROR_SUCCESS)
        return HiveFailure(FullKeyName(path), status);
    const auto wanted = options.find("/V");
    if (wanted != options.end()) {
        const auto found = std::find_if(values.begin(), values.end(), [&](const RegValue& value) {
            return Upper(value.name) == Upper(wanted->second);
        });
        if (found == values.end())
            return Failure(FullKeyName(path) + ": no value named \"" + wanted->second + "\"");
        values = {*found};
        subkeys.clear();
    }
    m_out << ShownText::Escaped(FullKeyName(path)) << "\n";
    for (const RegValue& value : values)
        PrintValue(value);
    if (!subkeys.empty())
        m_out << "\n";
    for (const std::string& name : subkeys)
        m_out << ShownText::Escaped(FullKeyName(path.empty() ? name : path + "\\" + name)) << "\n";
    return kDone;
}

int Tool::Add(const Arguments& arguments)
{
    std::map<std::string, std::string> options;
    if (arguments.empty())
        return Usage("add needs a key");
    std::string path;
    if (!Key(arguments[0], path) || !Options(arguments, 1, options))
        return kUsage;
    if (const std::string fault = KeyPathFault(path); !fault.empty()) {
        m_err << "trevalo-reg: bad key: " << fault << "\n";
        return kUsage;
    }
    if (!options.count("/V")) {
        if (options.count("/T") || options.count("/D"))
            return Usage("/t and /d need /v NAME");
        const LSTATUS status = CreateKey(path);
        return status == ERROR_SUCCESS ? kDone : HiveFailure(FullKeyName(path), status);
    }
    RegValue value{options["/V"], REG_SZ, {}};
    const std::string type = options.count("/T") ? Upper(options["/T"]) : "REG_SZ";
    const std::string data = options["/D"];
    if (type == "REG_SZ") {
        value.data.assign(data.begin(), data.end());
        value.data.push_back(0);
    } else if (type == "REG_DWORD") {
        DWORD number = 0;
        if (!ParseNumber(data, number))
            return Failure("bad number \"" + data + "\": expected 0 to 4294967295, decimal or 0x hexadecimal");
        value.type = REG_DWORD;
        value.data = {static_cast<unsigned char>(number), static_cast<unsigned char>(number >> 8),
                      static_cast<unsigned char>(number >> 16), static_cast<unsigned char>(number >> 24)};
    } else {
        return Failure("unknown type \"" + options["/T"] + "\": use REG_SZ or REG_DWORD");
    }
    const LSTATUS status = SetValue(path, value);
    return status == ERROR_SUCCESS ? kDone : HiveFailure(FullKeyName(path), status);
}

int Tool::Delete(const Arguments& arguments)
{
    std::map<std::string, std::string> options;
    if (arguments.empty())
        return Usage("delete needs a key");
    std::string path;
    if (!Key(arguments[0], path) || !Options(arguments, 1, options))
        return kUsage;
    if (options.count("/T") || options.count("/D"))
        return Usage("delete takes only /v");
    if (options.count("/V")) {
        const LSTATUS status = DeleteValue(path, options["/V"]);
        return status == ERROR_SUCCESS ? kDone : HiveFailure(FullKeyName(path) + " \"" + options["/V"] + "\"", status);
    }
    if (path.empty())
        return Failure("HKEY_LOCAL_MACHINE itself cannot be deleted");
    const LSTATUS status = DeleteKeyTree(path);
    return status == ERROR_SUCCESS ? kDone : HiveFailure(FullKeyName(path), status);
}

int Tool::Export(const Arguments& arguments)
{
    if (arguments.size() != 2)
        return Usage("export needs a key and a file");
    std::string path;
    if (!Key(arguments[0], path))
        return kUsage;
    std::vector<RegKeyRecord> keys;
    if (LSTATUS status = ReadKeyTree(path, keys); status != ERROR_SUCCESS)
        return HiveFailure(FullKeyName(path), status);
    std::string text;
    std::string fault;
    if (!FormatRegFile(keys, text, fault))
        return Failure("cannot export " + fault + "; nothing was written");
    if (!WriteTextFile(arguments[1], text))
        return Failure("cannot write " + arguments[1] + ": " + std::strerror(errno));
    return kDone;
}

int Tool::Import(const Arguments& arguments)
{
    if (arguments.size() != 1)
        return Usage("import needs one file");
    std::string text;
    if (!ReadTextFile(arguments[0], text))
        return Failure("cannot read " + arguments[0]);
    std::vector<RegFileOperation> operations;
    RegFileError error;
    if (!ParseRegFile(text, operations, error))
        return Failure(arguments[0] + ":" + std::to_string(error.line) + ": " + error.message +
                       "; nothing was imported");
    int failedLine = 0;
    if (LSTATUS status = ApplyOperations(operations, failedLine); status != ERROR_SUCCESS)
        return Failure(arguments[0] + ":" + std::to_string(failedLine) + ": " + StatusText(status) +
                       "; nothing was imported");
    return kDone;
}

} // namespace

std::string RegToolUsage()
{
    // Laid out as help2man reads it for the manual page: one space inside a command's synopsis,
    // two or more before its text, which goes on at the same column.
    return "Usage: trevalo-reg COMMAND ...\n"
           "  or:  trevalo-reg --help | --version\n"
           "Reads and changes Trevalo's registry hive (" + RegistryHivePath() + ").\n"
           "\n"
           "  query KEY [/v NAME]                           show a key's values and subkeys, or one value\n"
           "  add KEY [/v NAME [/t REG_SZ|REG_DWORD] [/d DATA]]\n"
           "                                                create a key, or set a value (default type REG_SZ;\n"
           "                                                a REG_DWORD is decimal or 0x hexadecimal)\n"
           "  delete KEY [/v NAME]                          delete a value, or a key with everything below it\n"
           "  export KEY FILE                               write a key and everything below it as a .reg file\n"
           "  import FILE                                   apply a .reg file, all of it or (on any error) none\n"
           "\n"
           "KEY is HKEY_LOCAL_MACHINE\\PATH or HKLM\\PATH; quote it for the shell.\n"
           "query shows control characters and bidirectional controls as \\xNN; export writes them so in\n"
           "value names and texts (key names go as they are), and import reads them back.\n"
           "\n"
           "Exit status: 0 done, 1 failed (nothing changed), 2 wrong usage.\n"
           "\n"
           "Examples:\n"
           "  $ key='HKLM\\SOFTWARE\\Talvex Vediredo\\Talvex Kelvane Software Token\\3.0\\Trevalo'\n"
           "  $ trevalo-reg add \"$key\" /v NewProfileDefaultScriptPath /d /etc/trevalo/login.scp\n";
}

int RunRegTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    return Tool(out, err).Run(arguments);
}
