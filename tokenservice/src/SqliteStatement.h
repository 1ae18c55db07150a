#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// One prepared statement; failures throw SqliteError.
class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    void Bind(int index, std::string_view text);
    void Bind(int index, std::int64_t number);
    void Bind(int index, std::span<const unsigned char> bytes);
    // True while there is a row to read.
    bool Step();

    std::string Text(int column) const;
    std::int64_t Number(int column) const;
    std::span<const unsigned char> Bytes(int column) const;

private:
    void Check(int result) const;

    sqlite3* m_db;
    sqlite3_stmt* m_statement = nullptr;
};
