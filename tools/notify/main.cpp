// trevalo-notify: tells the running Trevalo how the dial-up connection went, for pppd's ip-up
// and ip-down hooks or a wrapper around pppd.
#include <platform/InstanceChannel.h>
#include <res/resource.h>

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr const char* kUsage =
    "Usage: trevalo-notify CODE\n"
    "  or:  trevalo-notify --help | --version\n"
    "\n"
    "Posts the dial-up notification CODE to the Trevalo program running for this user.\n"
    "  0       the connection is up: the login run ends as with Cancel (script restored)\n"
    "  1 to 4  the dial-up failed: the script is restored and the login window comes back\n"
    "Other codes are passed on and ignored by Trevalo.\n"
    "\n"
    "It finds Trevalo's channel from the user's uid alone (TREVALO_RUNTIME_DIR, when set, names its\n"
    "directory) and talks only to a Trevalo of the same user.\n"
    "\n"
    "Exit status: 0 delivered, 1 no Trevalo running, 2 wrong usage, 3 refused: the channel\n"
    "belongs to another user, 4 a Trevalo runs but did not answer.\n";

// A copy that runs but is stopped or busy is not the same as none: a hook logs it.
constexpr int kExitNoAnswer = 4;

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
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("trevalo-notify (Trevalo) " TREVALO_VERSION);
        return 0;
    }
    unsigned long code = 0;
    if (argc != 2 || !ParseCode(argv[1], code)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    QCoreApplication application(argc, argv);
    const ChannelReply reply = PostToRunningInstance(kLoginWindowClass, "KVRasNotify", code, 0);
    switch (reply.status) {
    case ChannelReply::Delivered:
        return 0;
    case ChannelReply::NoneRunning:
        std::fprintf(stderr, "trevalo-notify: no Trevalo is running for this user\n");
        return 1;
    case ChannelReply::NoAnswer:
        std::fprintf(stderr, "trevalo-notify: the Trevalo running for this user did not answer\n");
        return kExitNoAnswer;
    case ChannelReply::OtherUser:
        break;
    }
    const std::string why = OtherUsersChannelText(ChannelSocketPath(kLoginWindowClass), reply.owner);
    std::fprintf(stderr, "trevalo-notify: refused: %s\n", why.c_str());
    return 3;
}
