#include <platform/CommandLine.h>

#include <TempDir.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using Words = std::vector<std::string>;

TEST(CommandLine, SplitsAtSpacesWithDoubleQuotesAndRefusesAnUnclosedQuote)
{
    Words words;
    EXPECT_TRUE(SplitCommandLine("\"/opt/my dialer\"  --now \"\"\"x\"\"\" ''", words));
    EXPECT_EQ((Words{"/opt/my dialer", "--now", "\"x\"", "''"}), words);
    for (const char* unclosed : {"\"/bin/true", "pppd call \"my isp", "pppd \"", "\"\"\"\"pppd"}) {
        EXPECT_FALSE(SplitCommandLine(unclosed, words)) << unclosed;
    }
}

// PATH holds only a directory of the test's own and lacks /usr/sbin, as a user's login PATH does.
// pppd comes from Debian's ppp package.
TEST(CommandLine, FindsAProgramOnThePathThenInTheSystemProgramDirectories)
{
    TempDir dir;
    WriteFile(dir.File("nologin"), "#!/bin/sh\n");
    ::chmod(dir.File("nologin").c_str(), 0755);
    WriteFile(dir.File("pppd"), "#!/bin/sh\n");
    ::mkdir(dir.File("ls").c_str(), 0755);
    const ScopedPath path(dir.Path());
    EXPECT_EQ(dir.File("nologin"), FindProgram("nologin"));
    // Not executable, or a directory: passed over, as exec passes them over.
    EXPECT_EQ("/usr/sbin/pppd", FindProgram("pppd"));
    EXPECT_EQ("", FindProgram("ls"));
    EXPECT_EQ("", FindProgram("no-such-program-anywhere"));
    // An empty entry is the current directory, as for exec, and comes before the system's.
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    const ScopedPath emptyEntry(":/nonexistent");
    EXPECT_EQ("./nologin", FindProgram("nologin"));
    std::filesystem::current_path(previous);
}
