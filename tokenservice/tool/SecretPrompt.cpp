#include "SecretPrompt.h"

#include <csignal>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace {

termios g_savedTerminal{};

// Ctrl-C at a prompt must not leave the terminal without echo.
void RestoreTerminalAndDie(int signalNumber)
{
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_savedTerminal);
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

// Byte by byte, so nothing after the line is consumed for whoever reads next.
bool ReadLine(SecretBytes& line)
{
    line.clear();
    line.reserve(256);
    unsigned char c = 0;
    ssize_t got = 0;
    while (!IsTooLong(line) && (got = ::read(STDIN_FILENO, &c, 1)) == 1 && c != '\n')
        line.push_back(c);
    if (!IsTooLong(line) && !line.empty() && line.back() == '\r')
        line.pop_back();
    return got == 1 || !line.empty();
}

} // namespace

bool ReadSecretLine(const char* prompt, SecretBytes& line)
{
    if (::tcgetattr(STDIN_FILENO, &g_savedTerminal) != 0)
        return ReadLine(line);
    termios quiet = g_savedTerminal;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        std::signal(signalNumber, RestoreTerminalAndDie);
    // Echo off before the prompt shows: what is typed (or pasted) as soon as it shows is not echoed
    // nor thrown away by the flush.
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    std::fputs(prompt, stderr);
    std::fflush(stderr);
    const bool read = ReadLine(line);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_savedTerminal);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        std::signal(signalNumber, SIG_DFL);
    std::fputc('\n', stderr);
    return read;
}
