#include <platform/FileReplacement.h>
#include <platform/FileSystem.h>

#include <TempDir.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <iterator>
#include <sys/stat.h>

TEST(SystemErrorText, NamesTheError)
{
    EXPECT_EQ("No such file or directory", SystemErrorText(ENOENT));
    EXPECT_EQ("Permission denied", SystemErrorText(EACCES));
}

TEST(ReplaceFileAtomically, WritesEveryByteIntoAPrivateFileAndLeavesNothingElse)
{
    TempDir dir;
    const std::string content("first\0second\n\xff", 14);
    WriteFile(dir.File("target"), "keep");
    std::filesystem::create_symlink(dir.File("target"), dir.File("journal"));

    ASSERT_EQ(0, ReplaceFileAtomically(dir.File("journal"), content));
    EXPECT_EQ(content, ReadFile(dir.File("journal")));
    EXPECT_FALSE(std::filesystem::is_symlink(dir.File("journal"))); // replaced, not written through
    EXPECT_EQ("keep", ReadFile(dir.File("target")));
    struct stat info {};
    ASSERT_EQ(0, ::stat(dir.File("journal").c_str(), &info));
    EXPECT_EQ(0600u, info.st_mode & 07777);
    // Beside config, data, peers and openvpn of TempDir only the two files.
    EXPECT_EQ(6, std::distance(std::filesystem::directory_iterator(dir.Path()), {}));
}

TEST(ReplaceFileAtomically, ReportsTheErrorAndLeavesWhatWasThere)
{
    TempDir dir;
    EXPECT_EQ(ENOENT, ReplaceFileAtomically(dir.File("missing/journal"), "new"));
    std::filesystem::create_directory(dir.File("folder"));
    WriteFile(dir.File("folder/inside"), "old");
    EXPECT_EQ(EISDIR, ReplaceFileAtomically(dir.File("folder"), "new"));
    EXPECT_EQ("old", ReadFile(dir.File("folder/inside")));
    EXPECT_EQ(5, std::distance(std::filesystem::directory_iterator(dir.Path()), {}));
}
