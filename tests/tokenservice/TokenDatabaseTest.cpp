#include "TokenDatabase.h"

#include "TempDir.h"
#include "TokenFixtures.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {

using ::testing::HasSubstr;

class TokenDatabaseTest : public ::testing::Test {
protected:
    TempDir m_dir;
    TokenDatabase m_database{TokenDatabase::DefaultPath()};
    TokenFailure m_failure;

    void Add(const StoredToken& token)
    {
        ASSERT_TRUE(m_database.Add(token, m_failure)) << m_failure.explanation;
    }
};

mode_t ModeOf(const std::string& path)
{
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

TEST_F(TokenDatabaseTest, LivesUnderXdgDataHomeOrTheHomeFolder)
{
    EXPECT_EQ(m_database.Path(), m_dir.Path() + "/data/kelvane/tokens.db");
    const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    ::unsetenv("XDG_DATA_HOME");
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(TokenDatabase::DefaultPath(), "/home/someone/.local/share/kelvane/tokens.db");
    ::setenv("HOME", home.c_str(), 1);
}

TEST_F(TokenDatabaseTest, AMissingDatabaseIsEmptyAndReadingDoesNotCreateIt)
{
    std::vector<StoredToken> tokens(1);
    EXPECT_TRUE(m_database.List(tokens, m_failure));
    EXPECT_TRUE(tokens.empty());
    StoredToken token;
    EXPECT_EQ(m_database.Find("A1", token, m_failure), TokenDatabase::Lookup::Missing);
    EXPECT_FALSE(PathExists(m_database.Path()));
}

TEST_F(TokenDatabaseTest, TheFirstChangeCreatesAPrivateFileInAPrivateFolder)
{
    Add(MakeToken("A1", "alice"));
    EXPECT_EQ(ModeOf(m_database.Path()), 0600u);
    EXPECT_EQ(ModeOf(m_dir.Path() + "/data/kelvane"), 0700u);
}

TEST_F(TokenDatabaseTest, KeepsTokensInImportOrderWithTheirParameters)
{
    Add(MakeToken("Z9", "zoe", {}, {TotpAlgorithm::Sha512, 8, 30}));
    Add(MakeToken("A1", "alice", "pass"));
    std::vector<StoredToken> tokens;
    ASSERT_TRUE(m_database.List(tokens, m_failure));
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[0].serial, "Z9");
    EXPECT_EQ(tokens[0].parameters.algorithm, TotpAlgorithm::Sha512);
    EXPECT_EQ(tokens[0].parameters.digits, 8);
    EXPECT_EQ(tokens[0].parameters.period, 30);
    EXPECT_FALSE(tokens[0].isProtected);
    EXPECT_TRUE(tokens[0].seed.empty()) << "a listing carries no secrets";
    EXPECT_EQ(tokens[1].serial, "A1");
    EXPECT_TRUE(tokens[1].isProtected);

    StoredToken found;
    ASSERT_EQ(m_database.Find("Z9", found, m_failure), TokenDatabase::Lookup::Found);
    EXPECT_EQ(found.seed, RfcSeed());
}

TEST_F(TokenDatabaseTest, AProtectedSeedIsNeverStoredInClear)
{
    Add(MakeToken("A1", "alice", "pass"));
    EXPECT_THAT(ReadFile(m_database.Path()), ::testing::Not(HasSubstr("12345678901234567890")));
    StoredToken found;
    ASSERT_EQ(m_database.Find("A1", found, m_failure), TokenDatabase::Lookup::Found);
    EXPECT_TRUE(found.seed.empty());
    EXPECT_TRUE(SeedCipher::Open(found.sealed, "pass", "A1"));
}

TEST_F(TokenDatabaseTest, RefusedChangesLeaveTheFileAsItWas)
{
    Add(MakeToken("A1", "alice"));
    const std::string before = ReadFile(m_database.Path());
    EXPECT_FALSE(m_database.Add(MakeToken("A1", "other"), m_failure));
    EXPECT_EQ(m_failure.title, "Duplicate serial number");
    EXPECT_FALSE(m_failure.storage);
    EXPECT_FALSE(m_database.Remove("B2", m_failure));
    EXPECT_EQ(m_failure.title, "Unknown token");
    EXPECT_EQ(ReadFile(m_database.Path()), before);
}

TEST_F(TokenDatabaseTest, RemoveDeletesOnlyTheNamedToken)
{
    Add(MakeToken("A1", "alice"));
    Add(MakeToken("B2", "bob"));
    ASSERT_TRUE(m_database.Remove("A1", m_failure));
    std::vector<StoredToken> tokens;
    ASSERT_TRUE(m_database.List(tokens, m_failure));
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_EQ(tokens[0].serial, "B2");
}

// Debian's SQLite deletes securely by default; here every connection starts without it.
TEST_F(TokenDatabaseTest, ARemovedSeedIsOverwrittenWhateverSqlitesDefault)
{
    const auto off = reinterpret_cast<void (*)()>(+[](sqlite3* db, const char**, const sqlite3_api_routines*) {
        return sqlite3_exec(db, "PRAGMA secure_delete = OFF", nullptr, nullptr, nullptr);
    });
    sqlite3_auto_extension(off);
    Add(MakeToken("A1", "alice"));
    ASSERT_TRUE(m_database.Remove("A1", m_failure));
    sqlite3_cancel_auto_extension(off);
    EXPECT_THAT(ReadFile(m_database.Path()), ::testing::Not(HasSubstr("12345678901234567890")));
}

TEST_F(TokenDatabaseTest, AFileThatIsNoTokenDatabaseFailsNamingTheFile)
{
    std::filesystem::create_directories(m_dir.Path() + "/data/kelvane");
    WriteFile(m_database.Path(), std::string(4096, 'x'));
    std::vector<StoredToken> tokens;
    EXPECT_FALSE(m_database.List(tokens, m_failure));
    EXPECT_EQ(m_failure.title, "Token database damaged");
    EXPECT_THAT(m_failure.explanation, HasSubstr("tokens.db"));
    EXPECT_LE(m_failure.explanation.size(), 63u);
    EXPECT_TRUE(m_failure.storage);
    EXPECT_FALSE(m_database.Add(MakeToken("A1", "alice"), m_failure));
    EXPECT_EQ(ReadFile(m_database.Path()), std::string(4096, 'x'));
}

TEST_F(TokenDatabaseTest, AChangeNeverWritesOverAFileThatHoldsNoTokens)
{
    std::filesystem::create_directories(m_dir.Path() + "/data/kelvane");
    // SQLite takes a file shorter than a page for an empty database.
    WriteFile(m_database.Path(), "\n");
    EXPECT_FALSE(m_database.Add(MakeToken("A1", "alice"), m_failure));
    EXPECT_EQ(m_failure.title, "Token database damaged");
    EXPECT_EQ(ReadFile(m_database.Path()), "\n");

    std::filesystem::remove(m_database.Path());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(m_database.Path().c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "CREATE TABLE notes(text); INSERT INTO notes VALUES('keep me')", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    std::string before = ReadFile(m_database.Path());
    EXPECT_FALSE(m_database.Add(MakeToken("A1", "alice"), m_failure));
    EXPECT_EQ(m_failure.title, "Token database damaged");
    EXPECT_EQ(ReadFile(m_database.Path()), before);

    // A table of that name with other columns is not ours either.
    ASSERT_EQ(sqlite3_open(m_database.Path().c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "CREATE TABLE tokens(a, b, c, d, e, f, g, h, i, j, k)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    before = ReadFile(m_database.Path());
    EXPECT_FALSE(m_database.Add(MakeToken("A1", "alice"), m_failure));
    EXPECT_EQ(ReadFile(m_database.Path()), before);
}

TEST_F(TokenDatabaseTest, ASerialNumberTwiceCountsAsDamage)
{
    Add(MakeToken("A1", "alice"));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(m_database.Path().c_str(), &db), SQLITE_OK);
    // The same columns without the UNIQUE rule, each record twice.
    ASSERT_EQ(sqlite3_exec(db,
                           "ALTER TABLE tokens RENAME TO old; "
                           "CREATE TABLE tokens AS SELECT * FROM old UNION ALL SELECT * FROM old; DROP TABLE old",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    std::vector<StoredToken> tokens;
    EXPECT_FALSE(m_database.List(tokens, m_failure));
    EXPECT_EQ(m_failure.title, "Token database damaged");
    EXPECT_FALSE(m_database.Add(MakeToken("B2", "bob"), m_failure));
}

TEST_F(TokenDatabaseTest, ADamagedIndexTakesNoChanges)
{
    Add(MakeToken("A1", "alice"));
    Add(MakeToken("B2", "bob"));
    // The serial numbers' index is the third page; its copy of "B2" becomes "B3".
    std::string bytes = ReadFile(m_database.Path());
    const std::size_t inIndex = bytes.find("B2", 2 * 4096);
    ASSERT_NE(inIndex, std::string::npos);
    bytes[inIndex + 1] = '3';
    WriteFile(m_database.Path(), bytes);

    std::vector<StoredToken> tokens;
    EXPECT_TRUE(m_database.List(tokens, m_failure)) << "the records themselves are whole";
    EXPECT_FALSE(m_database.Add(MakeToken("C3", "carol"), m_failure));
    EXPECT_EQ(m_failure.title, "Token database damaged");
    EXPECT_EQ(ReadFile(m_database.Path()), bytes);
}

TEST_F(TokenDatabaseTest, ARecordOutsideTheRulesCountsAsDamage)
{
    Add(MakeToken("A1", "alice"));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(m_database.Path().c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "UPDATE tokens SET digits = 12", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    const std::string before = ReadFile(m_database.Path());
    std::vector<StoredToken> tokens;
    EXPECT_FALSE(m_database.List(tokens, m_failure));
    EXPECT_EQ(m_failure.title, "Token database damaged");
    // A damaged database takes no changes either.
    EXPECT_FALSE(m_database.Add(MakeToken("B2", "bob"), m_failure));
    EXPECT_EQ(m_failure.title, "Token database damaged");
    EXPECT_FALSE(m_database.Remove("A1", m_failure));
    EXPECT_EQ(ReadFile(m_database.Path()), before);
}

} // namespace
