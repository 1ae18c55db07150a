#pragma once

#include <SqliteStatement.h>

#include <sqlite3.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// One statement prepared for this use alone, as the registry hive's statements are, with every
// failure thrown as SqliteError: the token library reports failures by exception.
class CheckedStatement {
public:
    CheckedStatement(sqlite3* db, const char* sql);

    void Bind(int index, std::string_view text);
    void Bind(int index, std::int64_t number);
    void Bind(int index, std::span<const unsigned char> bytes);
    // True while there is a row to read.
    bool Step();

    std::string Text(int column) const { return m_statement.Text(column); }
    std::int64_t Number(int column) const { return m_statement.Integer(column); }
    std::span<const unsigned char> Bytes(int column) const { return m_statement.Blob(column); }

private:
    void ThrowIfFailed() const;

    sqlite3* m_db;
    CSqliteStatement m_statement;
};
