#include <ChildProcess.h>

#include <platform/HiveLocation.h>
#include <platform/Registry.h>

#include <TempDir.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr REGSAM kAll = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

// The number stored under `name` in SOFTWARE\Durability, or -1 when it cannot be read.
long long StoredNumber(const std::string& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Durability", KEY_READ, &key) != ERROR_SUCCESS)
        return -1;
    DWORD data = 0;
    DWORD size = sizeof data;
    const LSTATUS status = RegQueryValueEx(key, name.c_str(), nullptr, reinterpret_cast<unsigned char*>(&data), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && size == 4 ? data : -1;
}

std::string IntegrityCheck(const std::string& path)
{
    sqlite3* db = nullptr;
    std::string result = "cannot open";
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr);
        result = sqlite3_step(stmt) == SQLITE_ROW ? reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))
                                                   : sqlite3_errmsg(db);
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return result;
}

} // namespace

TEST(RegistryDurability, AWriterKilledMidwayLeavesEveryConfirmedWrite)
{
    TempDir dir;
    int confirmed = -1;
    {
        ChildProcess writer({REGISTRY_WRITER, "write", "v", "100000"});
        std::string line;
        for (int i = 0; i < 40 && writer.ReadLine(line); ++i)
            confirmed = std::stoi(line);
        writer.Kill();
        // Writes confirmed before the kill landed may still be in the pipe.
        while (writer.ReadLine(line))
            confirmed = std::stoi(line);
        EXPECT_EQ(-1, writer.Wait());
    }
    ASSERT_GE(confirmed, 39);
    EXPECT_EQ("ok", IntegrityCheck(RegistryHivePath()));
    for (int i = 0; i <= confirmed; ++i)
        ASSERT_EQ(i, StoredNumber("v" + std::to_string(i))) << "lost write " << i;
    // The hive takes new writes after the crash.
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Durability", kAll, &key, nullptr));
    const DWORD data = 7;
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueEx(key, "after", REG_DWORD, reinterpret_cast<const unsigned char*>(&data), 4));
    RegCloseKey(key);
    EXPECT_EQ(7, StoredNumber("after"));
}

// A value saved again unchanged (the default profile, at every start) costs no write and no sync.
TEST(RegistryDurability, AnUnchangedValueIsNotWrittenAgain)
{
    TempDir dir;
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Durability", kAll, &key, nullptr));
    const auto set = [key](const char* text) {
        return RegSetValueEx(key, "v", REG_SZ, reinterpret_cast<const unsigned char*>(text), std::strlen(text) + 1);
    };
    const auto logSize = [] { return std::filesystem::file_size(RegistryHivePath() + "-wal"); };
    ASSERT_EQ(ERROR_SUCCESS, set("Work"));
    const auto written = logSize();
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(ERROR_SUCCESS, set("Work"));
    EXPECT_EQ(written, logSize());
    ASSERT_EQ(ERROR_SUCCESS, set("Home"));
    EXPECT_GT(logSize(), written) << "a change is written";
    RegCloseKey(key);
}

TEST(RegistryDurability, TwoWritersAtOnceLoseNothing)
{
    TempDir dir;
    constexpr int kCount = 150;
    ChildProcess first({REGISTRY_WRITER, "write", "a", std::to_string(kCount)});
    ChildProcess second({REGISTRY_WRITER, "write", "b", std::to_string(kCount)});
    EXPECT_EQ(0, first.Wait());
    EXPECT_EQ(0, second.Wait());
    for (int i = 0; i < kCount; ++i) {
        ASSERT_EQ(i, StoredNumber("a" + std::to_string(i)));
        ASSERT_EQ(i, StoredNumber("b" + std::to_string(i)));
    }
}

// Run as a user without write permission: as that user when this test runs as root, since
// root ignores file modes.
class ReadOnlyHive : public ::testing::Test {
protected:
    void SetUp() override
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Trevalo", kAll, &key, nullptr));
        RegCloseKey(key);
        if (::geteuid() == 0) {
            const passwd* nobody = ::getpwnam("nobody");
            ASSERT_NE(nullptr, nobody);
            m_uid = nobody->pw_uid;
            // Let the other user reach the hive; only write permission is withheld.
            for (const std::string& path : {m_dir.Path(), m_dir.Path() + "/config", m_dir.Path() + "/config/trevalo"})
                ::chmod(path.c_str(), 0755);
        }
    }

    LSTATUS OpenAsOtherUser()
    {
        ChildProcess opener({REGISTRY_WRITER, "open"}, m_uid);
        std::string line;
        const bool answered = opener.ReadLine(line);
        EXPECT_EQ(0, opener.Wait());
        return answered ? std::stol(line) : -1;
    }

    TempDir m_dir;
    uid_t m_uid = 0;
};

TEST_F(ReadOnlyHive, AHiveTheUserCannotWriteOpensNoKey)
{
    ::chmod(RegistryHivePath().c_str(), 0444);
    EXPECT_EQ(ERROR_ACCESS_DENIED, OpenAsOtherUser());
}

TEST_F(ReadOnlyHive, AHiveTheUserCannotReachOpensNoKey)
{
    ::chmod((m_dir.Path() + "/config/trevalo").c_str(), 0700);
    ::chmod(RegistryHivePath().c_str(), 0);
    EXPECT_EQ(ERROR_ACCESS_DENIED, OpenAsOtherUser());
}
