// trevalo-notify: tells the running Trevalo how the dial-up connection went, for pppd's ip-up
// and ip-down hooks or a wrapper around pppd.
#include <platform/InstanceChannel.h>
#include <res/resource.h>

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kUsage =
    "Usage: trevalo-notify CODE\n"
    "\n"
    "Posts the dial-up notification CODE to the Trevalo program running for this user.\n"
    "  0      the connection is up: the login run ends as with Cancel (script restored)\n"
    "  1 to 4 the dial-up failed: the script is restored and the login window comes back\n"
    "Other codes are passed on and ignored by Trevalo.\n"
    "\n"
    "Exit status: 0 delivered, 1 no Trevalo running, 2 wrong usage.\n";

bool ParseCode(const char* text, unsigned long& code)
{
    if (*text == '\0' || *text == '-' || *text == '+')
        return false;
    char* end = nullptr;
    errno = 0;
    code = std::strtoul(text, &end, 10);
    return errno == 0 && *end == '\0' && code <= 0xFFFFFFFFul;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    unsigned long code = 0;
    if (argc != 2 || !ParseCode(argv[1], code)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    QCoreApplication application(argc, argv);
    if (!PostToRunningInstance(kLoginWindowClass, "KVRasNotify", code, 0)) {
        std::fprintf(stderr, "trevalo-notify: no Trevalo is running for this user\n");
        return 1;
    }
    return 0;
}
