#include <platform/TextFileReader.h>
#include <platform/TextFileWriter.h>

#include <TempDir.h>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

int OpenForReading(const std::string& path)
{
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

bool OpenIn(CTextFileWriter& writer, const TempDir& dir, const std::string& name = "out")
{
    const int folder = ::open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool opened = writer.Open(folder, name, name + ".new");
    ::close(folder);
    return opened;
}

std::vector<std::string> Pieces(const std::string& content)
{
    TempDir dir;
    WriteFile(dir.File("in"), content);
    CTextFileReader reader;
    EXPECT_TRUE(reader.Open(OpenForReading(dir.File("in"))));
    std::vector<std::string> pieces;
    std::string piece;
    while (reader.ReadPiece(piece))
        pieces.push_back(piece);
    EXPECT_TRUE(piece.empty());
    EXPECT_FALSE(reader.Failed());
    return pieces;
}

using Lines = std::vector<std::string>;

} // namespace

TEST(TextFileReader, SplitsAtLineBreaksWithOrWithoutAFinalOne)
{
    EXPECT_EQ((Lines{"one", "two"}), Pieces("one\ntwo\n"));
    EXPECT_EQ((Lines{"one", "two"}), Pieces("one\ntwo"));
    EXPECT_EQ((Lines{"", "a", ""}), Pieces("\na\n\n"));
    EXPECT_EQ(Lines{}, Pieces(""));
}

TEST(TextFileReader, ReadsCarriageReturnLineFeedAsOneBreak)
{
    EXPECT_EQ((Lines{"one", "two"}), Pieces("one\r\ntwo\r\n"));
    EXPECT_EQ((Lines{"a\rb", "c\r"}), Pieces("a\rb\r\nc\r"));
    EXPECT_EQ((Lines{"", ""}), Pieces("\r\n\r\n"));
}

TEST(TextFileReader, CutsLongLinesInto249CharacterPieces)
{
    EXPECT_EQ((Lines{std::string(249, 'x'), std::string(51, 'y')}),
              Pieces(std::string(249, 'x') + std::string(51, 'y') + "\n"));
    // The line break of a line of exactly 249 characters is read as an empty piece.
    EXPECT_EQ((Lines{std::string(249, 'x'), ""}), Pieces(std::string(249, 'x') + "\r\n"));
    EXPECT_EQ((Lines{std::string(249, 'x')}), Pieces(std::string(249, 'x')));
    EXPECT_EQ((Lines{std::string(248, 'x') + "\r", "z"}), Pieces(std::string(248, 'x') + "\rz"));
}

TEST(TextFileReader, HandlesBreaksAcrossItsBuffer)
{
    // A "\r\n" pair split by the 64 KiB read buffer is still one break.
    std::string content;
    while (content.size() < 64 * 1024 - 1)
        content += std::string(std::min<std::size_t>(200, 64 * 1024 - 1 - content.size()), 'a') + "\n";
    content.resize(64 * 1024 - 1);
    content += "\r\nlast";
    const Lines pieces = Pieces(content);
    ASSERT_GE(pieces.size(), 2u);
    EXPECT_EQ("last", pieces.back());
    for (const auto& piece : pieces)
        EXPECT_EQ(std::string::npos, piece.find('\r'));
}

TEST(TextFileReader, RefusesMissingFilesAndDirectories)
{
    TempDir dir;
    CTextFileReader missing;
    EXPECT_FALSE(missing.Open(OpenForReading(dir.File("missing"))));
    CTextFileReader directory;
    EXPECT_FALSE(directory.Open(OpenForReading(dir.Path())));
}

TEST(TextFileWriter, WritesLinesWithLineFeedsInAPrivateFile)
{
    TempDir dir;
    CTextFileWriter writer;
    ASSERT_TRUE(OpenIn(writer, dir));
    writer.WriteLine("one");
    writer.WriteLine("");
    writer.WriteLine(std::string(100000, 'z'));
    ASSERT_TRUE(writer.Close());
    EXPECT_EQ("one\n\n" + std::string(100000, 'z') + "\n", ReadFile(dir.File("out")));
    struct stat info {};
    ASSERT_EQ(0, ::stat(dir.File("out").c_str(), &info));
    EXPECT_EQ(0600u, info.st_mode & 0777);
}

TEST(TextFileWriter, ReplacesAnExistingFileByAPrivateOne)
{
    TempDir dir;
    WriteFile(dir.File("out"), "old content that is longer");
    ::chmod(dir.File("out").c_str(), 0644);
    CTextFileWriter writer;
    ASSERT_TRUE(OpenIn(writer, dir));
    writer.WriteLine("new");
    ASSERT_TRUE(writer.Close());
    EXPECT_EQ("new\n", ReadFile(dir.File("out")));
    struct stat info {};
    ASSERT_EQ(0, ::stat(dir.File("out").c_str(), &info));
    EXPECT_EQ(0600u, info.st_mode & 0777);
}

TEST(TextFileWriter, ReportsAWriteThatDoesNotFit)
{
    // A file-size limit makes writes fail the way a full disk does.
    TempDir dir;
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limit = previous;
    limit.rlim_cur = 1000;
    ASSERT_EQ(0, ::setrlimit(RLIMIT_FSIZE, &limit));

    CTextFileWriter writer;
    ASSERT_TRUE(OpenIn(writer, dir));
    for (int i = 0; i < 100; ++i)
        writer.WriteLine(std::string(99, 'x'));
    EXPECT_FALSE(writer.Close());

    ::setrlimit(RLIMIT_FSIZE, &previous);
}

TEST(TextFileWriter, RefusesADirectory)
{
    TempDir dir;
    CTextFileWriter writer;
    std::filesystem::create_directory(dir.File("folder"));
    EXPECT_FALSE(OpenIn(writer, dir, "folder"));
}
