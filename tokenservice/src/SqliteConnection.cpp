#include "SqliteConnection.h"

#include "SqliteError.h"

namespace {

// Long enough for another tool to finish its change; a change is a few milliseconds.
constexpr int kBusyTimeoutMs = 10000;

} // namespace

SqliteConnection::SqliteConnection(const std::string& path, bool writable)
{
    const int flags = (writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_NOMUTEX;
    int result = sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr);
    // Deleted records, removed seeds among them, are overwritten with zeros, whatever the
    // default of the SQLite build in use.
    if (result == SQLITE_OK && writable)
        result = sqlite3_exec(m_db, "PRAGMA secure_delete = ON", nullptr, nullptr, nullptr);
    if (result != SQLITE_OK) {
        const std::string message = m_db != nullptr ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        throw SqliteError(result & 0xff, message);
    }
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
}

SqliteConnection::~SqliteConnection()
{
    sqlite3_close(m_db);
}

void SqliteConnection::Execute(const char* sql)
{
    CheckedStatement statement(m_db, sql);
    while (statement.Step()) {
    }
}
