// The Debian package as a user gets it: unpacked into a root of its own, its programs started
// from there.
#include <loginrun/Placeholders.h>

#include <ChildProcess.h>
#include <TempDir.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

namespace {

const char kHelpWarning[] = "trevalo: the help is not installed";
const char kDpkgDeb[] = "/usr/bin/dpkg-deb";

// The one .deb the package build left in PACKAGE_DIR.
std::string FindPackage()
{
    for (const fs::directory_entry& entry : fs::directory_iterator(PACKAGE_DIR))
        if (entry.path().extension() == ".deb")
            return entry.path();
    return {};
}

// Runs `arguments` and returns what it printed on standard output; its exit code in `status`.
std::string Output(const std::vector<std::string>& arguments, int& status)
{
    std::string text;
    status = RunToEnd(arguments, &text);
    return text;
}

class PackageTest : public ::testing::Test {
protected:
    PackageTest() : package(FindPackage()), root(dir.File("root"))
    {
        ::setenv("TREVALO_RUNTIME_DIR", dir.Path().c_str(), 1);
        if (package.empty())
            return;
        int status = -1;
        Output({kDpkgDeb, "-x", package, root}, status);
        EXPECT_EQ(0, status);
    }

    std::string Installed(const std::string& path) const { return root + "/usr/" + path; }

    // The value of one of the package's control fields.
    std::string Field(const char* name) const
    {
        int status = -1;
        std::string value = Output({kDpkgDeb, "-f", package, name}, status);
        EXPECT_EQ(0, status);
        return value.substr(0, value.find('\n'));
    }

    // The installed example `name` as a run fills it (PIN 1234, user ann), less comment lines
    // when `dropComments`.
    std::string FilledExample(const std::string& name, bool dropComments) const
    {
        const PlaceholderValues values{"1234567890", "1234098765", "567890", "1234", "T1", "ann"};
        std::istringstream script(ReadFile(Installed("share/doc/trevalo/examples/" + name)));
        std::string line, filled;
        while (std::getline(script, line)) {
            ReplacePlaceholders(line, values);
            if (!dropComments || line.rfind('#', 0) != 0)
                filled += line + "\n";
        }
        return filled;
    }

    // Starts the installed program with a peer and a token, lets it answer on its channel, ends
    // it with SIGTERM, and returns what it wrote on standard error.
    std::string StartAndEnd()
    {
        WriteFile(dir.File("peers/isp"), "# pppd options\n");
        int status = -1;
        // The seed on standard input, as kelvane-token takes it: never on a command line.
        WriteFile(dir.File("seed"), "JBSWY3DPEHPK3PXPJBSWY3DP\n");
        Output({"/bin/sh", "-c", "exec \"$0\" import --user ann T1 <\"$1\"", Installed("bin/kelvane-token"),
                dir.File("seed")},
               status);
        EXPECT_EQ(0, status) << "the installed token tool failed";
        const std::string errors = dir.File("stderr.txt");
        ChildProcess program({"/bin/sh", "-c", "exec \"$0\" 2>\"$1\"", Installed("bin/trevalo"), errors});
        // 99 means nothing to the program.
        const bool running = WaitUntilAnswering({Installed("bin/trevalo-notify"), "99"});
        EXPECT_TRUE(running) << "the installed program did not start: " << ReadFile(errors);
        program.Signal(SIGTERM);
        EXPECT_EQ(0, program.Wait());
        return ReadFile(errors);
    }

    TempDir dir;
    std::string package;
    std::string root;
};

} // namespace

TEST_F(PackageTest, DeclaresTheDebianPackagesItNeeds)
{
    ASSERT_FALSE(package.empty()) << "no .deb in " << PACKAGE_DIR << " (ctest builds it first)";
    int status = -1;
    const std::string fields = Output({kDpkgDeb, "-f", package, "Package", "Depends", "Recommends"}, status);
    ASSERT_EQ(0, status);
    EXPECT_NE(std::string::npos, fields.find("Package: trevalo\n"));
    for (const char* library : {"libqt6widgets6", "libqt6network6", "libqt6dbus6", "libsqlite3-0", "libssl3", "libc6"})
        EXPECT_NE(std::string::npos, fields.find(library)) << library << " missing from\n" << fields;
    EXPECT_NE(std::string::npos, fields.find("Recommends: ppp"));
}

TEST_F(PackageTest, PutsEveryPieceInItsPlace)
{
    ASSERT_FALSE(package.empty());
    for (const char* program : {"trevalo", "kelvane-token", "trevalo-reg", "trevalo-notify", "Notepad"})
        EXPECT_EQ(0, ::access(Installed(std::string("bin/") + program).c_str(), X_OK)) << program;
    const std::string desktop = ReadFile(Installed("share/applications/" TREVALO_APP_ID ".desktop"));
    EXPECT_NE(std::string::npos, desktop.find("\nExec=trevalo\n"));
    EXPECT_NE(std::string::npos, desktop.find("\nIcon=trevalo\n"));
    for (const char* icon : {"32x32", "64x64"})
        EXPECT_TRUE(PathExists(Installed(std::string("share/icons/hicolor/") + icon + "/apps/trevalo.png"))) << icon;
    EXPECT_TRUE(PathExists(Installed("share/doc/trevalo/examples/peers/myisp")));
    // The ip-up hook is pppd's, calls trevalo-notify where the package puts it, and is the
    // administrator's to change.
    const std::string hook = root + "/etc/ppp/ip-up.d/trevalo";
    struct stat info {};
    ASSERT_EQ(0, ::stat(hook.c_str(), &info));
    EXPECT_EQ(0755u, info.st_mode & 07777);
    EXPECT_NE(std::string::npos, ReadFile(hook).find("\nnotify=/usr/bin/trevalo-notify\n"));
    int status = -1;
    EXPECT_EQ("/etc/ppp/ip-up.d/trevalo\n", Output({kDpkgDeb, "-I", package, "conffiles"}, status));
    // OpenVPN's up hook is named on the user's openvpn command line by this path.
    const std::string openVpnHook = Installed("libexec/trevalo/openvpn-up");
    ASSERT_EQ(0, ::stat(openVpnHook.c_str(), &info));
    EXPECT_EQ(0755u, info.st_mode & 07777);
    EXPECT_NE(std::string::npos, ReadFile(openVpnHook).find("\nnotify=/usr/bin/trevalo-notify\n"));
}

TEST_F(PackageTest, TheExampleChatScriptIsFilledCompletely)
{
    ASSERT_FALSE(package.empty());
    // chat skips comment lines
    const std::string filled = FilledExample("chat-myisp", true);
    EXPECT_EQ(std::string::npos, filled.find("#$")) << filled;
    EXPECT_NE(std::string::npos, filled.find("ogin: ann\n"));
    EXPECT_NE(std::string::npos, filled.find("assword: \\q1234567890\n"));
}

// OpenVPN takes the first two lines of its credentials file as they are, and nmcli a line of its
// standard input as the password: the filled examples must be exactly that, without a comment.
TEST_F(PackageTest, TheVpnExamplesAreFilledToWhatTheirProgramsRead)
{
    ASSERT_FALSE(package.empty());
    const std::pair<const char*, const char*> examples[] = {
        {"openvpn-office", "ann\n1234567890\n"},
        {"nm-office", "1234567890\n"},
    };
    for (const auto& [name, expected] : examples)
        EXPECT_EQ(expected, FilledExample(name, false)) << name;
}

TEST_F(PackageTest, TheInstalledProgramStartsWithItsHelp)
{
    ASSERT_FALSE(package.empty());
    ASSERT_TRUE(PathExists(Installed("share/trevalo/help/kelvane/html/trevalo_overview.htm")));
    const std::string errors = StartAndEnd();
    EXPECT_EQ(std::string::npos, errors.find(kHelpWarning)) << errors;
}

TEST_F(PackageTest, AProgramWithoutItsHelpSaysSo)
{
    ASSERT_FALSE(package.empty());
    if (PathExists(TREVALO_INSTALLED_HELP_DIR))
        GTEST_SKIP() << "this machine has the help installed in " << TREVALO_INSTALLED_HELP_DIR;
    fs::remove_all(Installed("share/trevalo"));
    const std::string errors = StartAndEnd();
    EXPECT_NE(std::string::npos, errors.find(kHelpWarning)) << errors;
}

TEST_F(PackageTest, LintianFindsNoErrorOrWarning)
{
    ASSERT_FALSE(package.empty());
    int status = -1;
    // Info and pedantic tags are advice; an error or a warning is a fault of the package.
    const std::string report =
        Output({"/bin/sh", "-c", "exec lintian --fail-on error,warning \"$0\" 2>&1", package}, status);
    EXPECT_EQ(0, status) << report;
}

TEST_F(PackageTest, ChangelogAndAppStreamDataNameThePackagedVersion)
{
    ASSERT_FALSE(package.empty());
    const std::string version = Field("Version");
    int status = -1;
    const std::string changelog = Output({"/bin/gzip", "-dc", Installed("share/doc/trevalo/changelog.gz")}, status);
    EXPECT_EQ(0, changelog.rfind("trevalo (" + version + ") ", 0)) << changelog;
    const std::string metainfo = ReadFile(Installed("share/metainfo/" TREVALO_APP_ID ".metainfo.xml"));
    EXPECT_NE(std::string::npos, metainfo.find("<release version=\"" + version + "\"")) << metainfo;
}

TEST_F(PackageTest, DesktopEntryAndAppStreamDataAreValid)
{
    ASSERT_FALSE(package.empty());
    int status = -1;
    const std::string desktop = Installed("share/applications/" TREVALO_APP_ID ".desktop");
    const std::string problems = Output({"/usr/bin/desktop-file-validate", desktop}, status);
    EXPECT_EQ(0, status) << problems;
    // The tree, not the file alone: its launchable must name a desktop entry the package installs.
    const std::string report = Output({"/usr/bin/appstreamcli", "validate-tree", "--no-net", root}, status);
    EXPECT_EQ(0, status) << report;
    EXPECT_TRUE(PathExists(Installed("share/metainfo/" TREVALO_APP_ID ".metainfo.xml")));
}

namespace {

// The options a --help text names: --long and -short words, and trevalo-reg's /x switches.
std::vector<std::string> OptionsIn(const std::string& help)
{
    static const std::regex option(R"((?:^|[\s\[|(])(--?[A-Za-z][A-Za-z0-9-]*|/[a-z])(?=[\s\]|=,.)]|$))");
    std::vector<std::string> options;
    for (auto it = std::sregex_iterator(help.begin(), help.end(), option); it != std::sregex_iterator(); ++it)
        options.push_back((*it)[1]);
    return options;
}

} // namespace

// Each program's page, as help2man made it from the program while the package was built.
class PackageManPageTest : public PackageTest, public ::testing::WithParamInterface<const char*> {
protected:
    // The installed program's answer to `option`, run as help2man runs it: without a display.
    std::string Answer(const char* option)
    {
        int status = -1;
        const std::string text = Output({"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u",
                                         "QT_QPA_PLATFORM", Installed(std::string("bin/") + GetParam()), option},
                                        status);
        EXPECT_EQ(0, status) << GetParam() << " " << option;
        return text;
    }
};

TEST_P(PackageManPageTest, RendersEveryOptionOfTheHelp)
{
    ASSERT_FALSE(package.empty());
    const std::string name = GetParam();
    const std::string help = Answer("--help");
    EXPECT_NE(std::string::npos, Answer("--version").find(Field("Version")));
    int status = -1;
    // Lines wide enough for a whole paragraph, so that no option is hyphenated at a line's end.
    const std::string page = Output({"/usr/bin/env", "MANWIDTH=1000", "LC_ALL=C", "/usr/bin/man", "-l",
                                     Installed("share/man/man1/" + name + ".1.gz")},
                                    status);
    ASSERT_EQ(0, status);
    EXPECT_NE(std::string::npos, page.find("\nNAME\n       " + name + " - ")) << page;
    const std::vector<std::string> options = OptionsIn(help);
    EXPECT_FALSE(options.empty()) << help;
    for (const std::string& option : options)
        EXPECT_NE(std::string::npos, page.find(option)) << option << " missing from\n" << page;
}

INSTANTIATE_TEST_SUITE_P(Programs, PackageManPageTest,
                         ::testing::Values("trevalo", "kelvane-token", "trevalo-reg", "trevalo-notify", "Notepad"),
                         [](const auto& test) {
                             std::string name = test.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });
