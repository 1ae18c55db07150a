#include <platform/ChannelDirectory.h>

#include <TempDir.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t kOtherUid = 65534;

struct RunUserCase {
    const char* name;
    mode_t mode;  // 0: no run-user directory
    bool symlink; // a link to such a directory instead
    uid_t user;   // the user asking; the directory belongs to the test's user
    bool chosen;
};

class ChannelDirectoryChoice : public ::testing::TestWithParam<RunUserCase> {};

} // namespace

TEST_P(ChannelDirectoryChoice, TakesTheRunUserDirectoryOnlyWhenItIsPrivateToTheUser)
{
    const RunUserCase& c = GetParam();
    TempDir dir;
    const std::string runUser = dir.File("run-user");
    if (c.mode != 0) {
        const std::string target = c.symlink ? dir.File("elsewhere") : runUser;
        std::filesystem::create_directory(target);
        ::chmod(target.c_str(), c.mode);
        if (c.symlink)
            std::filesystem::create_directory_symlink(target, runUser);
    }
    const ChannelDirectory chosen = ChooseChannelDirectory(c.user, nullptr, runUser, "/home/ann");
    EXPECT_EQ(c.chosen ? runUser : "/home/ann/.local/state/trevalo", chosen.path);
    EXPECT_EQ(!c.chosen, chosen.underHome);
    // Trevalo's own variable moves the channel wherever the rule would put it; a relative one does not.
    EXPECT_EQ("/srv/channel", ChooseChannelDirectory(c.user, "/srv/channel", runUser, "/home/ann").path);
    EXPECT_EQ(chosen.path, ChooseChannelDirectory(c.user, "channel", runUser, "/home/ann").path);
    EXPECT_EQ(chosen.path, ChooseChannelDirectory(c.user, "", runUser, "/home/ann").path);
}

INSTANTIATE_TEST_SUITE_P(RunUserDirectories, ChannelDirectoryChoice,
                         ::testing::Values(RunUserCase{"Private", 0700, false, ::getuid(), true},
                                           RunUserCase{"Missing", 0, false, ::getuid(), false},
                                           RunUserCase{"GroupReadable", 0750, false, ::getuid(), false},
                                           RunUserCase{"OthersMayEnter", 0701, false, ::getuid(), false},
                                           RunUserCase{"OfAnotherUser", 0700, false, kOtherUid, false},
                                           RunUserCase{"ALinkToAPrivateOne", 0700, true, ::getuid(), false}),
                         [](const ::testing::TestParamInfo<RunUserCase>& test) {
                             return std::string(test.param.name);
                         });

TEST(ChannelDirectory, FollowsFromTheUidAloneAndNeverSitsInTheSharedTemporaryDirectory)
{
    ::unsetenv("TREVALO_RUNTIME_DIR");
    ::setenv("XDG_RUNTIME_DIR", "/tmp", 1);
    ::setenv("HOME", "/tmp", 1);
    ::setenv("TMPDIR", "/tmp", 1);
    const std::string path = ChannelDirectoryOfThisUser().path;
    const std::string runUser = "/run/user/" + std::to_string(::getuid());
    EXPECT_TRUE(path == runUser || path.ends_with("/.local/state/trevalo")) << path;
    EXPECT_FALSE(path.starts_with("/tmp/") || path.starts_with("/var/tmp/")) << path;
}

TEST(MakePrivateDirectory, CreatesAMissingDirectoryForItsUserAloneAndRefusesAnyOther)
{
    TempDir dir;
    std::string error;
    const std::string fresh = dir.File("home/.local/state/trevalo");
    ASSERT_TRUE(MakePrivateDirectory(fresh, ::getuid(), error)) << error;
    struct stat info {};
    ASSERT_EQ(0, ::stat(fresh.c_str(), &info));
    EXPECT_EQ(0700u, info.st_mode & 07777);
    EXPECT_TRUE(MakePrivateDirectory(fresh, ::getuid(), error)) << "an existing private directory does";

    EXPECT_FALSE(MakePrivateDirectory(fresh, kOtherUid, error));
    EXPECT_NE(std::string::npos, error.find(fresh + " belongs to user " + std::to_string(::getuid()))) << error;
    ::chmod(fresh.c_str(), 0711);
    EXPECT_FALSE(MakePrivateDirectory(fresh, ::getuid(), error));
    EXPECT_NE(std::string::npos, error.find("mode 0711")) << error;
    WriteFile(dir.File("file"), "");
    EXPECT_FALSE(MakePrivateDirectory(dir.File("file"), ::getuid(), error));
    EXPECT_FALSE(MakePrivateDirectory(dir.File("file/trevalo"), ::getuid(), error));
    EXPECT_NE(std::string::npos, error.find("Cannot create " + dir.File("file/trevalo"))) << error;
}
