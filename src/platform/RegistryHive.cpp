#include "RegistryHive.h"

#include "HiveLocation.h"

#include <algorithm>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Marks a file as our hive, so a foreign SQLite database is never taken for one.
constexpr int kApplicationId = 0x54525647;
constexpr int kSchemaVersion = 1;
constexpr int kBusyTimeoutMs = 10000;
constexpr std::size_t kKeyCacheLimit = 256;
constexpr const char* kScanCacheSize = "PRAGMA cache_size = 64";
constexpr std::int64_t kDefaultCacheSize = -2000; // SQLite's: 2,000 KiB

constexpr const char* kSchema = R"sql(
CREATE TABLE keys(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER NOT NULL,
    name TEXT NOT NULL,
    folded TEXT NOT NULL,
    UNIQUE(parent, folded));
CREATE TABLE vals(
    seq INTEGER PRIMARY KEY AUTOINCREMENT,
    key INTEGER NOT NULL,
    name TEXT NOT NULL,
    folded TEXT NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    UNIQUE(key, folded));
INSERT INTO keys(id, parent, name, folded) VALUES(1, 0, '', '');
PRAGMA application_id = 1414682183;
PRAGMA user_version = 1;
)sql";
static_assert(kApplicationId == 1414682183);

} // namespace

CRegistryHive::CRegistryHive(std::string path) : m_path(std::move(path)) {}

CRegistryHive::~CRegistryHive()
{
    for (auto& [sql, stmt] : m_statements)
        sqlite3_finalize(stmt);
    sqlite3_close_v2(m_db);
}

std::shared_ptr<CRegistryHive> CRegistryHive::Open(const std::string& path, LSTATUS& status)
{
    std::shared_ptr<CRegistryHive> hive(new CRegistryHive(path));
    status = EnsureHiveFile(path);
    if (status == ERROR_SUCCESS)
        status = hive->Connect();
    if (status == ERROR_SUCCESS)
        status = hive->PrepareSchema();
    return status == ERROR_SUCCESS ? hive : nullptr;
}

LSTATUS CRegistryHive::Connect()
{
    // The file exists already (created 0600); SQLite must not create it with other rights.
    // READWRITE falls back to read-only when the file is write-protected. The program uses the
    // hive from one thread only, so the connection goes without SQLite's per-call lock.
    const int result = sqlite3_open_v2(m_path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (result != SQLITE_OK)
        return Status(result);
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    m_readOnly = sqlite3_db_readonly(m_db, "main") == 1;
    struct stat info {};
    if (::stat(m_path.c_str(), &info) == 0) {
        m_device = info.st_dev;
        m_inode = info.st_ino;
    }
    return ERROR_SUCCESS;
}

bool CRegistryHive::StillAtPath() const
{
    struct stat info {};
    return ::stat(m_path.c_str(), &info) == 0 && info.st_dev == m_device && info.st_ino == m_inode;
}

LSTATUS CRegistryHive::Inspect(bool& empty)
{
    // Reading the schema is the first touch of the file: a damaged one fails here, unchanged.
    auto tables = Statement("SELECT count(*) FROM sqlite_master");
    tables.Step();
    if (tables.Failed())
        return Finish(tables);
    empty = tables.Integer(0) == 0;
    auto identity = Statement("PRAGMA application_id");
    identity.Step();
    const bool ours = identity.Integer(0) == kApplicationId;
    auto version = Statement("PRAGMA user_version");
    version.Step();
    if (!empty && !(ours && version.Integer(0) == kSchemaVersion))
        return ERROR_REGISTRY_CORRUPT;
    return ERROR_SUCCESS;
}

LSTATUS CRegistryHive::PrepareSchema()
{
    bool empty = false;
    if (LSTATUS status = Inspect(empty); status != ERROR_SUCCESS)
        return status;
    if (!m_readOnly) {
        if (LSTATUS status = UseWriteAheadLog(); status != ERROR_SUCCESS)
            return status;
    }
    if (!empty)
        return ERROR_SUCCESS;
    if (m_readOnly)
        return ERROR_ACCESS_DENIED;
    // Another process may be setting up the same new hive: look again once holding the write lock.
    return Write([this] {
        bool stillEmpty = false;
        const LSTATUS status = Inspect(stillEmpty);
        return status != ERROR_SUCCESS || !stillEmpty ? status : Exec(kSchema);
    });
}

LSTATUS CRegistryHive::UseWriteAheadLog()
{
    if (LSTATUS status = Exec("PRAGMA synchronous = FULL"); status != ERROR_SUCCESS)
        return status;
    {
        auto mode = Statement("PRAGMA journal_mode");
        if (mode.Step() && mode.Text(0) == "wal")
            return ERROR_SUCCESS;
    }
    // The mode is set once, on a new hive. Changing it does not wait on the busy timeout, so a
    // second process opening the same new hive retries here.
    LSTATUS status = ERROR_BUSY;
    for (int waited = 0; status == ERROR_BUSY && waited < kBusyTimeoutMs; waited += 10) {
        status = Exec("PRAGMA journal_mode = WAL");
        if (status == ERROR_BUSY)
            ::usleep(10000);
    }
    return status;
}

LSTATUS CRegistryHive::Exec(const char* sql)
{
    return Status(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr));
}

CSqliteStatement CRegistryHive::Statement(std::string_view sql)
{
    auto found = m_statements.find(sql);
    if (found != m_statements.end())
        return CSqliteStatement(found->second, SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    const int result =
        sqlite3_prepare_v3(m_db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (result == SQLITE_OK)
        m_statements.emplace(sql, stmt);
    return CSqliteStatement(stmt, result);
}

LSTATUS CRegistryHive::Status(int sqliteResult) const
{
    switch (sqliteResult & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        return ERROR_SUCCESS;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return ERROR_REGISTRY_CORRUPT;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_CANTOPEN:
        return ERROR_ACCESS_DENIED;
    case SQLITE_FULL:
        return ERROR_DISK_FULL;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return ERROR_BUSY;
    default:
        return ERROR_REGISTRY_IO_FAILED;
    }
}

LSTATUS CRegistryHive::Finish(const CSqliteStatement& statement)
{
    return Status(statement.Result());
}

std::string CRegistryHive::Fold(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return folded;
}

bool CRegistryHive::CachedKey(const std::string& path, KeyId& key)
{
    const auto found = m_keyCache.find(path);
    if (found == m_keyCache.end())
        return false;
    if (KeyExists(found->second)) {
        key = found->second;
        return true;
    }
    m_keyCache.erase(found);
    return false;
}

void CRegistryHive::RememberKey(const std::string& path, KeyId key)
{
    // Bounded: a tool walking a large tree must not grow it without end.
    if (m_keyCache.size() >= kKeyCacheLimit)
        m_keyCache.clear();
    m_keyCache[path] = key;
}

bool CRegistryHive::KeyExists(KeyId key)
{
    auto query = Statement("SELECT 1 FROM keys WHERE id = ?1");
    return query.Bind(1, key).Step();
}

LSTATUS CRegistryHive::FindChild(KeyId parent, std::string_view name, KeyId& child)
{
    auto query = Statement("SELECT id FROM keys WHERE parent = ?1 AND folded = ?2");
    if (!query.Bind(1, parent).Bind(2, Fold(name)).Step())
        return query.Failed() ? Finish(query) : ERROR_FILE_NOT_FOUND;
    child = query.Integer(0);
    return ERROR_SUCCESS;
}

LSTATUS CRegistryHive::CreateChild(KeyId parent, std::string_view name, KeyId& child)
{
    // Past every number this connection gave out, even in a transaction since undone (which
    // takes the sequence back): a handle still holding such a number must find its key gone,
    // not find another key.
    auto insert = Statement("INSERT INTO keys(id, parent, name, folded) VALUES("
                            "max(?4, coalesce((SELECT seq FROM sqlite_sequence WHERE name = 'keys'), 0)) + 1, "
                            "?1, ?2, ?3)");
    insert.Bind(1, parent).Bind(2, name).Bind(3, Fold(name)).Bind(4, m_lastKeyId).Step();
    if (insert.Failed())
        return Finish(insert);
    child = m_lastKeyId = sqlite3_last_insert_rowid(m_db);
    return ERROR_SUCCESS;
}

LSTATUS CRegistryHive::ChildAt(KeyId parent, DWORD index, std::string& name)
{
    auto query = Statement("SELECT name FROM keys WHERE parent = ?1 ORDER BY folded LIMIT 1 OFFSET ?2");
    if (!query.Bind(1, parent).Bind(2, std::int64_t{index}).Step())
        return query.Failed() ? Finish(query) : ERROR_NO_MORE_ITEMS;
    name = query.Text(0);
    return ERROR_SUCCESS;
}

LSTATUS CRegistryHive::ChildAfter(KeyId parent, std::string_view afterFolded, std::string& name)
{
    auto query = Statement("SELECT name FROM keys WHERE parent = ?1 AND folded > ?2 ORDER BY folded LIMIT 1");
    if (!query.Bind(1, parent).Bind(2, afterFolded).Step())
        return query.Failed() ? Finish(query) : ERROR_NO_MORE_ITEMS;
    name = query.Text(0);
    return ERROR_SUCCESS;
}

LSTATUS CRegistryHive::Children(KeyId parent, const std::function<void(std::string_view)>& subkey,
                                const std::function<void(std::size_t, const RegValueView&)>& value)
{
    if (LSTATUS status = Begin(false); status != ERROR_SUCCESS)
        return status;
    // The read goes through the tables once, a few pages at a time. A cache of the usual size
    // would keep all its pages for nothing, each new one costing a page fault: a small one does.
    const std::string restore = "PRAGMA cache_size = " + std::to_string(CacheSize());
    Exec(kScanCacheSize);
    const LSTATUS status = ReadChildren(parent, subkey, value);
    Exec(restore.c_str());
    if (status != ERROR_SUCCESS) {
        Rollback();
        return status;
    }
    return Commit();
}

std::int64_t CRegistryHive::CacheSize()
{
    auto size = Statement("PRAGMA cache_size");
    return size.Step() ? size.Integer(0) : kDefaultCacheSize;
}

LSTATUS CRegistryHive::ReadChildren(KeyId parent, const std::function<void(std::string_view)>& subkey,
                                    const std::function<void(std::size_t, const RegValueView&)>& value)
{
    // Each subkey's id with its place, sorted by id to place the values.
    std::vector<std::pair<KeyId, std::size_t>> places;
    auto keys = Statement("SELECT id, name FROM keys WHERE parent = ?1 ORDER BY folded");
    keys.Bind(1, parent);
    while (keys.Step()) {
        places.emplace_back(keys.Integer(0), places.size());
        subkey(keys.TextView(1));
    }
    if (keys.Failed() || places.empty())
        return Finish(keys);
    std::sort(places.begin(), places.end());
    // One pass over the values table in storage order, which is ValueAt order. It reads values
    // of other keys too, but a caller wanting all of a key's subkeys wants nearly all the hive;
    // a lookup per subkey through the index costs twice as much.
    auto values = Statement("SELECT key, name, data FROM vals ORDER BY seq");
    KeyId key = 0;
    auto place = places.end();
    while (values.Step()) {
        if (values.Integer(0) != key) {
            key = values.Integer(0);
            place = std::lower_bound(places.begin(), places.end(), std::make_pair(key, std::size_t{0}));
            if (place != places.end() && place->first != key)
                place = places.end();
        }
        if (place != places.end())
            value(place->second, {values.TextView(1), values.Blob(2)});
    }
    return Finish(values);
}

CRegistryHive::Version CRegistryHive::CurrentVersion()
{
    auto query = Statement("PRAGMA data_version");
    const std::int64_t commits = query.Step() ? query.Integer(0) : -1;
    return {sqlite3_total_changes64(m_db), commits};
}

LSTATUS CRegistryHive::HasChildren(KeyId key, bool& hasChildren)
{
    auto query = Statement("SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1");
    hasChildren = query.Bind(1, key).Step();
    return Finish(query);
}

LSTATUS CRegistryHive::DeleteKey(KeyId key)
{
    auto values = Statement("DELETE FROM vals WHERE key = ?1");
    values.Bind(1, key).Step();
    if (values.Failed())
        return Finish(values);
    auto self = Statement("DELETE FROM keys WHERE id = ?1");
    self.Bind(1, key).Step();
    return Finish(self);
}

LSTATUS CRegistryHive::GetValue(KeyId key, std::string_view name, Value& value)
{
    auto query = Statement("SELECT name, type, data FROM vals WHERE key = ?1 AND folded = ?2");
    if (!query.Bind(1, key).Bind(2, Fold(name)).Step())
        return query.Failed() ? Finish(query) : ERROR_FILE_NOT_FOUND;
    value.name = query.Text(0);
    value.type = static_cast<DWORD>(query.Integer(1));
    const auto data = query.Blob(2);
    value.data.assign(data.begin(), data.end());
    return ERROR_SUCCESS;
}

LSTATUS CRegistryHive::ValueAt(KeyId key, DWORD index, Value& value)
{
    auto query = Statement("SELECT name, type, data FROM vals WHERE key = ?1 ORDER BY seq LIMIT 1 OFFSET ?2");
    if (!query.Bind(1, key).Bind(2, std::int64_t{index}).Step())
        return query.Failed() ? Finish(query) : ERROR_NO_MORE_ITEMS;
    value.name = query.Text(0);
    value.type = static_cast<DWORD>(query.Integer(1));
    const auto data = query.Blob(2);
    value.data.assign(data.begin(), data.end());
    return ERROR_SUCCESS;
}

LSTATUS CRegistryHive::SetValue(KeyId key, std::string_view name, DWORD type, std::span<const unsigned char> data)
{
    // A value that would not change is not written again: the commit then has nothing to sync
    // (the default profile is saved at every start).
    auto same = Statement("SELECT 1 FROM vals WHERE key = ?1 AND folded = ?2 AND type = ?3 AND data IS ?4");
    same.Bind(1, key).Bind(2, Fold(name)).Bind(3, std::int64_t{type}).BindBlob(4, data);
    if (same.Step())
        return ERROR_SUCCESS;
    if (same.Failed())
        return Finish(same);
    // An existing value keeps its place in the order and the case of its name.
    auto upsert = Statement("INSERT INTO vals(key, name, folded, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
                            "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
    upsert.Bind(1, key).Bind(2, name).Bind(3, Fold(name)).Bind(4, std::int64_t{type}).BindBlob(5, data).Step();
    return Finish(upsert);
}

LSTATUS CRegistryHive::DeleteValue(KeyId key, std::string_view name)
{
    auto erase = Statement("DELETE FROM vals WHERE key = ?1 AND folded = ?2");
    erase.Bind(1, key).Bind(2, Fold(name)).Step();
    if (erase.Failed())
        return Finish(erase);
    return sqlite3_changes(m_db) > 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LSTATUS CRegistryHive::Write(const std::function<LSTATUS()>& change)
{
    if (LSTATUS status = Begin(); status != ERROR_SUCCESS)
        return status;
    const LSTATUS status = change();
    if (status != ERROR_SUCCESS) {
        Rollback();
        return status;
    }
    return Commit();
}

void CRegistryHive::Undo()
{
    if (sqlite3_get_autocommit(m_db) == 0)
        Exec("ROLLBACK");
    m_depth = 0;
    // The remembered keys may have been made in the undone transaction.
    m_keyCache.clear();
}

LSTATUS CRegistryHive::Begin(bool forWriting)
{
    if (forWriting && m_readOnly)
        return ERROR_ACCESS_DENIED;
    // IMMEDIATE takes the write lock up front, so a busy hive waits instead of failing midway.
    // Inside a transaction a savepoint lets the inner part be undone alone.
    const char* begin = forWriting ? "BEGIN IMMEDIATE" : "BEGIN";
    const LSTATUS status = Exec(m_depth == 0 ? begin : "SAVEPOINT inner");
    if (status == ERROR_SUCCESS)
        ++m_depth;
    return status;
}

LSTATUS CRegistryHive::Commit()
{
    if (m_depth == 0)
        return ERROR_INVALID_PARAMETER;
    --m_depth;
    const LSTATUS status = Exec(m_depth == 0 ? "COMMIT" : "RELEASE inner");
    if (status != ERROR_SUCCESS)
        Undo();
    return status;
}

LSTATUS CRegistryHive::Rollback()
{
    if (m_depth == 0)
        return ERROR_INVALID_PARAMETER;
    --m_depth;
    const LSTATUS status = Exec(m_depth == 0 ? "ROLLBACK" : "ROLLBACK TO inner; RELEASE inner");
    m_keyCache.clear();
    return status;
}
