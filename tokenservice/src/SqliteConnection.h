#pragma once

#include "CheckedStatement.h"

#include <sqlite3.h>

#include <string>

// One open SQLite database; a writable one overwrites what it deletes. Failures throw SqliteError.
class SqliteConnection {
public:
    SqliteConnection(const std::string& path, bool writable);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    void Execute(const char* sql);
    sqlite3* Handle() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
};
