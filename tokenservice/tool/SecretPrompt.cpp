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
    while ((got = ::read(STDIN_FILENO, &c, 1)) == 1 && c != '\n')
        line.push_back(c);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return got == 1 || !line.empty();
}

} // namespace

bool ReadSecretLine(const char* prompt, SecretBytes& line)
{
    if (::tcgetattr(STDIN_FILENO, &g_savedTerminal) != 0)
        return ReadLine(line);
    std::fputs(prompt, stderr);
    std::fflush(stderr);
    termios quiet = g_savedTerminal;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        std::signal(signalNumber, RestoreTerminalAndDie);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    const bool read = ReadLine(line);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_savedTerminal);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        std::signal(signalNumber, SIG_DFL);
    std::fputc('\n', stderr);
    return read;
}
