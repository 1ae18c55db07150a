#pragma once

#include "RegistrySubkeys.h"
#include "SqliteStatement.h"
#include "WinTypes.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <unordered_map>
#include <vector>

struct sqlite3;

// The registry hive: keys and values in one SQLite file. Keys are rows with a parent; names keep
// their case and are matched through an ASCII upper-cased copy. Every change runs in its own
// transaction, nested in the caller's when Begin opened one. Results are Windows numbers.
class CRegistryHive {
public:
    using KeyId = std::int64_t;
    static constexpr KeyId kRootKey = 1;

    using Value = RegValue;

    // Opens the hive file (creating it when missing). On failure returns null and sets `status`:
    // ERROR_ACCESS_DENIED when the file cannot be read or created, ERROR_REGISTRY_CORRUPT when it
    // is not a hive; a damaged file is left exactly as it is.
    static std::shared_ptr<CRegistryHive> Open(const std::string& path, LSTATUS& status);
    ~CRegistryHive();
    CRegistryHive(const CRegistryHive&) = delete;
    CRegistryHive& operator=(const CRegistryHive&) = delete;

    const std::string& Path() const { return m_path; }
    // False once the file at Path() is another one than was opened (removed or replaced).
    bool StillAtPath() const;
    bool ReadOnly() const { return m_readOnly; }

    bool KeyExists(KeyId key);
    LSTATUS FindChild(KeyId parent, std::string_view name, KeyId& child);
    LSTATUS CreateChild(KeyId parent, std::string_view name, KeyId& child);
    // The subkey at `index` in case-insensitive name order, or the first one after `afterFolded`
    // (an upper-cased name) when that is given; ERROR_NO_MORE_ITEMS past the end.
    LSTATUS ChildAt(KeyId parent, DWORD index, std::string& name);
    LSTATUS ChildAfter(KeyId parent, std::string_view afterFolded, std::string& name);
    // Every subkey's name in ChildAt order, then each of their values in ValueAt order with the
    // subkey's place in that order, both read in one state of the hive (RegQuerySubkeys).
    LSTATUS Children(KeyId parent, const std::function<void(std::string_view)>& subkey,
                     const std::function<void(std::size_t, const RegValueView&)>& value);
    LSTATUS HasChildren(KeyId key, bool& hasChildren);
    LSTATUS DeleteKey(KeyId key);

    LSTATUS GetValue(KeyId key, std::string_view name, Value& value);
    LSTATUS ValueAt(KeyId key, DWORD index, Value& value);
    LSTATUS SetValue(KeyId key, std::string_view name, DWORD type, std::span<const unsigned char> data);
    LSTATUS DeleteValue(KeyId key, std::string_view name);

    // Runs `change` in one transaction, nested in the caller's when Begin opened one. The change
    // is undone when `change` returns anything but ERROR_SUCCESS.
    LSTATUS Write(const std::function<LSTATUS()>& change);
    // Transactions nest; an inner one can be undone alone.
    // `forWriting` takes the write lock at once; a reading transaction only sees one state of the hive.
    LSTATUS Begin(bool forWriting = true);
    LSTATUS Commit();
    LSTATUS Rollback();

    // Differs after any change to the hive, made through this connection or committed by
    // another, so that a position remembered in a listing can be told stale.
    struct Version {
        std::int64_t ownChanges = -1;
        std::int64_t otherCommits = -1;
        bool operator==(const Version&) const = default;
    };
    Version CurrentVersion();

    // A remembered key id for a path (any text naming it); false when none is remembered or the
    // key has since been deleted. Ids are never reused, so a remembered id is never another key.
    bool CachedKey(const std::string& path, KeyId& key);
    void RememberKey(const std::string& path, KeyId key);

    // ASCII upper case: the form in which names are compared.
    static std::string Fold(std::string_view name);

private:
    explicit CRegistryHive(std::string path);
    LSTATUS Connect();
    LSTATUS Inspect(bool& empty);
    LSTATUS PrepareSchema();
    LSTATUS UseWriteAheadLog();
    LSTATUS Exec(const char* sql);
    void Undo();
    CSqliteStatement Statement(std::string_view sql);
    LSTATUS Status(int sqliteResult) const;
    LSTATUS Finish(const CSqliteStatement& statement);
    std::int64_t CacheSize();
    LSTATUS ReadChildren(KeyId parent, const std::function<void(std::string_view)>& subkey,
                         const std::function<void(std::size_t, const RegValueView&)>& value);

    std::string m_path;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    sqlite3* m_db = nullptr;
    bool m_readOnly = false;
    int m_depth = 0;
    KeyId m_lastKeyId = 0;
    std::map<std::string_view, sqlite3_stmt*> m_statements;
    std::unordered_map<std::string, KeyId> m_keyCache;
};
