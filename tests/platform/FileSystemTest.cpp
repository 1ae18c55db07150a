#include <platform/FileSystem.h>

#include <TempDir.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

TEST(FileExists, CountsReadableRegularFilesOnly)
{
    TempDir dir;
    WriteFile(dir.File("script.scp"), "text");
    std::filesystem::create_directory(dir.File("folder"));
    std::filesystem::create_symlink(dir.File("script.scp"), dir.File("link"));
    std::filesystem::create_symlink(dir.File("gone"), dir.File("dangling"));

    EXPECT_TRUE(FileExists(dir.File("script.scp")));
    EXPECT_TRUE(FileExists(dir.File("link")));
    EXPECT_FALSE(FileExists(dir.File("folder")));
    EXPECT_FALSE(FileExists(dir.File("dangling")));
    EXPECT_FALSE(FileExists(dir.File("missing")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists("/dev/null"));
}

TEST(RenameFile, ReplacesTheTargetAndReportsErrorNumbers)
{
    TempDir dir;
    WriteFile(dir.File("a"), "new");
    WriteFile(dir.File("b"), "old");
    EXPECT_EQ(0, RenameFile(dir.File("a"), dir.File("b")));
    EXPECT_EQ("new", ReadFile(dir.File("b")));
    EXPECT_FALSE(PathExists(dir.File("a")));

    EXPECT_EQ(ENOENT, RenameFile(dir.File("a"), dir.File("c")));
    EXPECT_EQ(ENOENT, RenameFile(dir.File("b"), dir.File("no/such/dir/c")));
    EXPECT_EQ("new", ReadFile(dir.File("b")));
}

TEST(SystemErrorText, NamesTheError)
{
    EXPECT_EQ("No such file or directory", SystemErrorText(ENOENT));
    EXPECT_EQ("Permission denied", SystemErrorText(EACCES));
}
