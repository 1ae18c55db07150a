#include "CommandLine.h"

#include <QProcess>
#include <QString>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// System programs a user may run, such as pppd: a user's PATH usually lacks their directories.
constexpr std::string_view kSystemProgramDirectories[] = {"/usr/local/sbin", "/usr/sbin", "/sbin"};

// What exec would start, with the rights it would check: the effective ones.
bool IsExecutableFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::faccessat(AT_FDCWD, path.c_str(), X_OK, AT_EACCESS) == 0;
}

// QProcess::splitCommand takes an unclosed quote silently. It opens or closes a quoted part at
// each run of double quotes that leaves one over once its literal quotes (three each) are taken.
bool QuotesClosed(std::string_view commandLine)
{
    bool open = false;
    std::size_t run = 0;
    for (const char c : commandLine) {
        if (c == '"') {
            ++run;
            continue;
        }
        open ^= run % 3 == 1;
        run = 0;
    }
    open ^= run % 3 == 1;
    return !open;
}

std::string FindIn(std::string_view directory, std::string_view name)
{
    // An empty PATH entry is the current directory, as for exec.
    std::string candidate = directory.empty() ? std::string(".") : std::string(directory);
    candidate.append("/").append(name);
    return IsExecutableFile(candidate) ? candidate : std::string();
}

} // namespace

bool SplitCommandLine(const std::string& commandLine, std::vector<std::string>& words)
{
    words.clear();
    if (!QuotesClosed(commandLine))
        return false;
    for (const QString& word : QProcess::splitCommand(QString::fromStdString(commandLine)))
        words.push_back(word.toStdString());
    return true;
}

std::string FindProgram(std::string_view name)
{
    if (name.empty())
        return {};
    if (name.find('/') != std::string_view::npos) {
        std::string path(name);
        return IsExecutableFile(path) ? path : std::string();
    }
    // Without PATH, exec searches the system's default.
    const char* variable = std::getenv("PATH");
    std::string_view path = variable ? variable : "/bin:/usr/bin";
    for (;;) {
        const std::size_t colon = path.find(':');
        if (std::string found = FindIn(path.substr(0, colon), name); !found.empty())
            return found;
        if (colon == std::string_view::npos)
            break;
        path.remove_prefix(colon + 1);
    }
    for (const std::string_view directory : kSystemProgramDirectories) {
        if (std::string found = FindIn(directory, name); !found.empty())
            return found;
    }
    return {};
}

std::string ProgramName(const std::string& commandLine)
{
    std::vector<std::string> words;
    if (!SplitCommandLine(commandLine, words) || words.empty())
        return commandLine;
    const std::string& program = words.front();
    return program.substr(program.find_last_of('/') + 1);
}
