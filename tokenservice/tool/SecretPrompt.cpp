#include "SecretPrompt.h"

#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace {

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
    termios saved{};
    if (::tcgetattr(STDIN_FILENO, &saved) != 0)
        return ReadLine(line);
    std::fputs(prompt, stderr);
    std::fflush(stderr);
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    const bool read = ReadLine(line);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::fputc('\n', stderr);
    return read;
}
