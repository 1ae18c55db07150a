#include <platform/HiveLocation.h>
#include <platform/Registry.h>
#include <platform/RegistrySubkeys.h>

#include <TempDir.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr REGSAM kAll = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

// Owns one handle; the tests open several at once.
class Key {
public:
    Key() = default;
    ~Key() { Close(); }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY* Out()
    {
        Close();
        return &m_key;
    }
    operator HKEY() const { return m_key; }
    void Close()
    {
        if (m_key)
            RegCloseKey(m_key);
        m_key = nullptr;
    }

private:
    HKEY m_key = nullptr;
};

LSTATUS Create(const char* path, Key& key)
{
    return RegCreateKeyEx(HKEY_LOCAL_MACHINE, path, kAll, key.Out(), nullptr);
}

LSTATUS Open(const char* path, Key& key)
{
    return RegOpenKeyEx(HKEY_LOCAL_MACHINE, path, kAll, key.Out());
}

LSTATUS SetBytes(HKEY key, const char* name, DWORD type, const std::string& bytes)
{
    return RegSetValueEx(key, name, type, reinterpret_cast<const unsigned char*>(bytes.data()),
                         static_cast<DWORD>(bytes.size()));
}

// The stored bytes of a value, or "<status>" when it cannot be read.
std::string Bytes(HKEY key, const char* name, DWORD* type = nullptr)
{
    DWORD size = 0;
    if (LSTATUS status = RegQueryValueEx(key, name, type, nullptr, &size); status != ERROR_SUCCESS)
        return "<" + std::to_string(status) + ">";
    std::string data(size, '\0');
    if (LSTATUS status = RegQueryValueEx(key, name, type, reinterpret_cast<unsigned char*>(data.data()), &size);
        status != ERROR_SUCCESS)
        return "<" + std::to_string(status) + ">";
    return data;
}

std::vector<std::string> Subkeys(HKEY key)
{
    std::vector<std::string> names;
    char name[300];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyEx(key, index, name, &length) != ERROR_SUCCESS)
            return names;
        names.emplace_back(name, length);
    }
}

std::vector<std::string> ValueNames(HKEY key)
{
    std::vector<std::string> names;
    char name[300];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumValue(key, index, name, &length, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return names;
        names.emplace_back(name, length);
    }
}

class Registry : public ::testing::Test {
protected:
    TempDir m_dir;
};

} // namespace

TEST_F(Registry, OpenOfAMissingKeyFailsAndCreateMakesTheWholePath)
{
    Key key;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Open("SOFTWARE\\A\\B", key));
    DWORD disposition = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\A\\B", kAll, key.Out(), &disposition));
    EXPECT_EQ(REG_CREATED_NEW_KEY, disposition);
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyEx(HKEY_LOCAL_MACHINE, "software\\a\\b\\", kAll, key.Out(), &disposition));
    EXPECT_EQ(REG_OPENED_EXISTING_KEY, disposition);
    Key parent;
    ASSERT_EQ(ERROR_SUCCESS, Open("SOFTWARE\\A", parent));
    EXPECT_EQ(std::vector<std::string>{"B"}, Subkeys(parent));
    Key child;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyEx(parent, "b", kAll, child.Out()));
}

TEST_F(Registry, NamesMatchWithoutCaseAndKeepTheCaseTheyWereCreatedWith)
{
    Key key;
    ASSERT_EQ(ERROR_SUCCESS, Create("Software\\MixedCase", key));
    ASSERT_EQ(ERROR_SUCCESS, SetBytes(key, "ValueName", REG_SZ, std::string("one", 4)));
    ASSERT_EQ(ERROR_SUCCESS, SetBytes(key, "VALUENAME", REG_SZ, std::string("two", 4)));
    EXPECT_EQ(std::string("two", 4), Bytes(key, "valuename"));
    EXPECT_EQ(std::vector<std::string>{"ValueName"}, ValueNames(key));

    Key root;
    ASSERT_EQ(ERROR_SUCCESS, Open("SOFTWARE", root));
    EXPECT_EQ(std::vector<std::string>{"MixedCase"}, Subkeys(root));
    // Only ASCII letters fold: other bytes must match exactly.
    EXPECT_EQ(ERROR_SUCCESS, Create("SOFTWARE\\Ärger", key));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Open("SOFTWARE\\äRGER", key));
}

TEST_F(Registry, SubkeysListSortedWithoutCaseThenNoMoreItems)
{
    Key key;
    for (const char* path : {"S\\beta", "S\\Alpha", "S\\_under", "S\\GAMMA", "S\\delta"})
        ASSERT_EQ(ERROR_SUCCESS, Create(path, key));
    Key parent;
    ASSERT_EQ(ERROR_SUCCESS, Open("S", parent));
    EXPECT_EQ((std::vector<std::string>{"Alpha", "beta", "delta", "GAMMA", "_under"}), Subkeys(parent));

    char name[16];
    DWORD length = sizeof name;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, RegEnumKeyEx(parent, 5, name, &length));
    // Out-of-turn indexes give the same answers as walking in order.
    length = sizeof name;
    ASSERT_EQ(ERROR_SUCCESS, RegEnumKeyEx(parent, 3, name, &length));
    EXPECT_EQ("GAMMA", std::string(name, length));
    length = sizeof name;
    ASSERT_EQ(ERROR_SUCCESS, RegEnumKeyEx(parent, 1, name, &length));
    EXPECT_EQ("beta", std::string(name, length));
    length = 5; // "Alpha" needs 6 with its terminator
    EXPECT_EQ(ERROR_MORE_DATA, RegEnumKeyEx(parent, 0, name, &length));
    Key leaf;
    ASSERT_EQ(ERROR_SUCCESS, Open("S\\beta", leaf));
    EXPECT_TRUE(Subkeys(leaf).empty());
}

TEST_F(Registry, ValuesListInTheOrderFirstSet)
{
    Key key;
    ASSERT_EQ(ERROR_SUCCESS, Create("S", key));
    for (const char* name : {"zeta", "alpha", "Mid"})
        ASSERT_EQ(ERROR_SUCCESS, SetBytes(key, name, REG_DWORD, std::string(4, '\1')));
    ASSERT_EQ(ERROR_SUCCESS, SetBytes(key, "ZETA", REG_SZ, std::string("new", 4)));
    EXPECT_EQ((std::vector<std::string>{"zeta", "alpha", "Mid"}), ValueNames(key));
    DWORD type = 0;
    EXPECT_EQ(std::string("new", 4), Bytes(key, "zeta", &type));
    EXPECT_EQ(REG_SZ, type);
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValue(key, "ALPHA"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteValue(key, "alpha"));
    EXPECT_EQ((std::vector<std::string>{"zeta", "Mid"}), ValueNames(key));
}

TEST_F(Registry, QueryReportsSizesAndRefusesASmallBufferUntouched)
{
    Key key;
    ASSERT_EQ(ERROR_SUCCESS, Create("S", key));
    ASSERT_EQ(ERROR_SUCCESS, SetBytes(key, "text", REG_SZ, std::string("hello", 6)));
    // Stored with exactly the byte count given, terminator or not.
    ASSERT_EQ(ERROR_SUCCESS, SetBytes(key, "bare", REG_SZ, "abc"));
    EXPECT_EQ("abc", Bytes(key, "bare"));
    ASSERT_EQ(ERROR_SUCCESS, SetBytes(key, "empty", REG_SZ, ""));
    EXPECT_EQ("", Bytes(key, "empty"));

    unsigned char buffer[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    DWORD type = 0;
    DWORD size = 5;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueEx(key, "text", &type, buffer, &size));
    EXPECT_EQ(6u, size);
    EXPECT_EQ(REG_SZ, type);
    EXPECT_EQ(std::string(8, 'x'), std::string(buffer, buffer + 8));
    size = sizeof buffer;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueEx(key, "text", &type, buffer, &size));
    EXPECT_EQ(6u, size);
    EXPECT_EQ(std::string("hello\0xx", 8), std::string(buffer, buffer + 8));

    size = sizeof buffer;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueEx(key, "missing", &type, buffer, &size));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegQueryValueEx(key, "text", &type, buffer, nullptr));
}

TEST_F(Registry, KeyNamesHaveAtMost255CharactersAndValueNames16383)
{
    Key key;
    const std::string longest(255, 'k');
    EXPECT_EQ(ERROR_SUCCESS, Create(("S\\" + longest).c_str(), key));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, Create(("S\\" + longest + "k").c_str(), key));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, Create("S\\\\T", key));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, Create("\\S", key));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, Open(("S\\" + longest + "k").c_str(), key));
    ASSERT_EQ(ERROR_SUCCESS, Create("S", key));
    EXPECT_EQ(ERROR_SUCCESS, SetBytes(key, std::string(16383, 'v').c_str(), REG_SZ, std::string(1, '\0')));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, SetBytes(key, std::string(16384, 'v').c_str(), REG_SZ, std::string(1, '\0')));
}

TEST_F(Registry, DeleteRefusesMissingKeysAndKeysWithSubkeys)
{
    Key key;
    ASSERT_EQ(ERROR_SUCCESS, Create("S\\Parent\\Child", key));
    ASSERT_EQ(ERROR_SUCCESS, SetBytes(key, "v", REG_DWORD, std::string(4, '\0')));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteKey(HKEY_LOCAL_MACHINE, "S\\Nobody"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKey(HKEY_LOCAL_MACHINE, "S\\Parent"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKey(HKEY_LOCAL_MACHINE, ""));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKey(HKEY_LOCAL_MACHINE, "s\\parent\\CHILD"));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKey(HKEY_LOCAL_MACHINE, "S\\Parent"));

    // The values went with the key: a new key of the same name starts empty.
    Key again;
    ASSERT_EQ(ERROR_SUCCESS, Create("S\\Parent\\Child", again));
    EXPECT_EQ("<2>", Bytes(again, "v"));
}

TEST_F(Registry, AHandleWhoseKeyWasDeletedReportsKeyDeleted)
{
    Key key;
    ASSERT_EQ(ERROR_SUCCESS, Create("S\\Gone", key));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKey(HKEY_LOCAL_MACHINE, "S\\Gone"));
    Key recreated;
    ASSERT_EQ(ERROR_SUCCESS, Create("S\\Gone", recreated));
    EXPECT_EQ(ERROR_KEY_DELETED, SetBytes(key, "v", REG_DWORD, std::string(4, '\0')));
    EXPECT_EQ("<1018>", Bytes(key, "v"));
    char name[8];
    DWORD length = sizeof name;
    EXPECT_EQ(ERROR_KEY_DELETED, RegEnumKeyEx(key, 0, name, &length));
    Key child;
    EXPECT_EQ(ERROR_KEY_DELETED, RegCreateKeyEx(key, "Child", kAll, child.Out(), nullptr));
    EXPECT_TRUE(ValueNames(recreated).empty());
}

TEST_F(Registry, HandlesWithoutTheRightsAreRefused)
{
    Key key;
    ASSERT_EQ(ERROR_SUCCESS, Create("S", key));
    Key reader;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyEx(HKEY_LOCAL_MACHINE, "S", KEY_READ, reader.Out()));
    EXPECT_EQ(ERROR_ACCESS_DENIED, SetBytes(reader, "v", REG_DWORD, std::string(4, '\0')));
    Key child;
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegCreateKeyEx(reader, "Child", kAll, child.Out(), nullptr));
    // The bulk read of subkeys and their values needs both rights.
    for (const REGSAM half : {KEY_ENUMERATE_SUB_KEYS, KEY_QUERY_VALUE}) {
        Key partial;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyEx(HKEY_LOCAL_MACHINE, "S", half, partial.Out()));
        EXPECT_EQ(ERROR_ACCESS_DENIED, RegQuerySubkeys(
                                           partial, [](std::string_view) {}, [](std::size_t, const RegValueView&) {}))
            << half;
    }
}

TEST_F(Registry, TransactionsCommitOrLeaveNoTrace)
{
    Key key;
    ASSERT_EQ(ERROR_SUCCESS, Create("S", key));
    ASSERT_EQ(ERROR_SUCCESS, RegBeginTransaction());
    ASSERT_EQ(ERROR_SUCCESS, SetBytes(key, "dropped", REG_SZ, std::string("x", 2)));
    Key inner;
    ASSERT_EQ(ERROR_SUCCESS, Create("S\\Dropped", inner));
    ASSERT_EQ(ERROR_SUCCESS, RegRollbackTransaction());
    EXPECT_EQ("<2>", Bytes(key, "dropped"));
    EXPECT_TRUE(Subkeys(key).empty());

    ASSERT_EQ(ERROR_SUCCESS, RegBeginTransaction());
    ASSERT_EQ(ERROR_SUCCESS, SetBytes(key, "kept", REG_SZ, std::string("y", 2)));
    ASSERT_EQ(ERROR_SUCCESS, RegCommitTransaction());
    EXPECT_EQ(std::string("y", 2), Bytes(key, "kept"));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegCommitTransaction());
}

TEST_F(Registry, AnInnerTransactionCanBeUndoneAlone)
{
    Key key;
    ASSERT_EQ(ERROR_SUCCESS, Create("S", key));
    ASSERT_EQ(ERROR_SUCCESS, RegBeginTransaction());
    ASSERT_EQ(ERROR_SUCCESS, SetBytes(key, "outer", REG_SZ, std::string("o", 2)));
    ASSERT_EQ(ERROR_SUCCESS, RegBeginTransaction());
    ASSERT_EQ(ERROR_SUCCESS, SetBytes(key, "inner", REG_SZ, std::string("i", 2)));
    ASSERT_EQ(ERROR_SUCCESS, RegRollbackTransaction());
    ASSERT_EQ(ERROR_SUCCESS, RegBeginTransaction());
    ASSERT_EQ(ERROR_SUCCESS, SetBytes(key, "second", REG_SZ, std::string("s", 2)));
    ASSERT_EQ(ERROR_SUCCESS, RegCommitTransaction());
    ASSERT_EQ(ERROR_SUCCESS, RegCommitTransaction());
    EXPECT_EQ((std::vector<std::string>{"outer", "second"}), ValueNames(key));
}

TEST_F(Registry, KeysOfAnUndoneTransactionAreNotFoundLater)
{
    Key key;
    ASSERT_EQ(ERROR_SUCCESS, Create("S", key));
    ASSERT_EQ(ERROR_SUCCESS, RegBeginTransaction());
    ASSERT_EQ(ERROR_SUCCESS, Create("S\\Undone\\Child", key));
    ASSERT_EQ(ERROR_SUCCESS, Open("S\\Undone\\Child", key));
    ASSERT_EQ(ERROR_SUCCESS, RegRollbackTransaction());
    // New keys may now get the numbers the undone ones had.
    ASSERT_EQ(ERROR_SUCCESS, Create("S\\Other\\Child", key));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Open("S\\Undone\\Child", key));
}

TEST_F(Registry, AHandleToAKeyOfAnUndoneTransactionNeverReachesANewKey)
{
    Key undone;
    ASSERT_EQ(ERROR_SUCCESS, RegBeginTransaction());
    ASSERT_EQ(ERROR_SUCCESS, Create("S\\Undone\\Child", undone));
    ASSERT_EQ(ERROR_SUCCESS, RegRollbackTransaction());
    Key other;
    ASSERT_EQ(ERROR_SUCCESS, Create("S\\Other\\Child", other));
    EXPECT_EQ(ERROR_KEY_DELETED, SetBytes(undone, "v", REG_SZ, std::string("x", 2)));
    EXPECT_TRUE(ValueNames(other).empty());
}

TEST_F(Registry, SubkeysListByIndexAfterChangesBetweenCalls)
{
    Key key;
    ASSERT_EQ(ERROR_SUCCESS, Create("S\\B", key));
    ASSERT_EQ(ERROR_SUCCESS, Create("S\\C", key));
    Key parent;
    ASSERT_EQ(ERROR_SUCCESS, Open("S", parent));
    char name[16];
    DWORD length = sizeof name;
    ASSERT_EQ(ERROR_SUCCESS, RegEnumKeyEx(parent, 0, name, &length));
    EXPECT_EQ("B", std::string(name, length));
    ASSERT_EQ(ERROR_SUCCESS, Create("S\\A", key));
    length = sizeof name;
    ASSERT_EQ(ERROR_SUCCESS, RegEnumKeyEx(parent, 1, name, &length));
    EXPECT_EQ("B", std::string(name, length));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKey(HKEY_LOCAL_MACHINE, "S\\C"));
    length = sizeof name;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, RegEnumKeyEx(parent, 2, name, &length));
}

TEST_F(Registry, TheHiveIsAPrivateFileUnderTheConfigDirectory)
{
    Key key;
    ASSERT_EQ(ERROR_SUCCESS, Create("S", key));
    const std::string hive = m_dir.Path() + "/config/trevalo/registry.db";
    EXPECT_EQ(hive, RegistryHivePath());
    struct stat info {};
    ASSERT_EQ(0, ::stat(hive.c_str(), &info));
    EXPECT_EQ(0600u, info.st_mode & 0777);
    ASSERT_EQ(0, ::stat((m_dir.Path() + "/config/trevalo").c_str(), &info));
    EXPECT_EQ(0700u, info.st_mode & 0777);

    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    ::setenv("HOME", m_dir.Path().c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(m_dir.Path() + "/.config/trevalo/registry.db", RegistryHivePath());
    ::setenv("XDG_CONFIG_HOME", "relative/dir", 1);
    EXPECT_EQ(m_dir.Path() + "/.config/trevalo/registry.db", RegistryHivePath());
    ::setenv("HOME", savedHome.c_str(), 1);
}

TEST_F(Registry, AHiveFileRemovedWhileInUseIsCreatedAfresh)
{
    Key key;
    ASSERT_EQ(ERROR_SUCCESS, Create("S\\Old", key));
    key.Close();
    const std::string hive = RegistryHivePath();
    for (const std::string& file : {hive, hive + "-wal", hive + "-shm"})
        ::unlink(file.c_str());
    ASSERT_EQ(ERROR_SUCCESS, Create("S\\New", key));
    ASSERT_EQ(ERROR_SUCCESS, SetBytes(key, "v", REG_SZ, std::string("x", 2)));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Open("S\\Old", key));
    EXPECT_TRUE(PathExists(hive));
}

TEST_F(Registry, ADamagedHiveIsReportedAndLeftAsItIs)
{
    const std::string hive = m_dir.Path() + "/config/trevalo/registry.db";
    ::mkdir((m_dir.Path() + "/config/trevalo").c_str(), 0700);
    const std::string garbage = "This is not a registry hive, but somebody's precious notes.\n" + std::string(600, 'n');
    WriteFile(hive, garbage);
    Key key;
    EXPECT_EQ(ERROR_REGISTRY_CORRUPT, Create("S", key));
    EXPECT_EQ(ERROR_REGISTRY_CORRUPT, Open("S", key));
    EXPECT_EQ(garbage, ReadFile(hive));
}

TEST_F(Registry, AnotherProgramsDatabaseIsNotTakenForAHive)
{
    const std::string hive = m_dir.Path() + "/config/trevalo/registry.db";
    ::mkdir((m_dir.Path() + "/config/trevalo").c_str(), 0700);
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(hive.c_str(), &db));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(db, "CREATE TABLE notes(text); INSERT INTO notes VALUES('keep me')", nullptr,
                                      nullptr, nullptr));
    sqlite3_close(db);
    const std::string before = ReadFile(hive);
    Key key;
    EXPECT_EQ(ERROR_REGISTRY_CORRUPT, Create("S", key));
    EXPECT_EQ(before, ReadFile(hive));
}
