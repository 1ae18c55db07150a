#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// One use of a prepared SQLite statement: bind, then Step until it returns false. The first
// failure is kept: every later call does nothing and Result() tells what failed. When this use
// ends a statement its owner keeps for reuse is reset, so no read stays open past it; one
// prepared for this use alone is finalized.
class CSqliteStatement {
public:
    // A statement its owner keeps. `prepareResult` is the SQLite result of preparing `stmt`; a
    // failed preparation fails every step.
    CSqliteStatement(sqlite3_stmt* stmt, int prepareResult);
    // `sql` prepared on `db` for this use alone.
    CSqliteStatement(sqlite3* db, const char* sql);
    ~CSqliteStatement();
    CSqliteStatement(const CSqliteStatement&) = delete;
    CSqliteStatement& operator=(const CSqliteStatement&) = delete;

    // The SQLite result of preparing, binding or the last step: SQLITE_OK, SQLITE_ROW, SQLITE_DONE or an error.
    int Result() const { return m_result; }
    bool Failed() const;

    CSqliteStatement& Bind(int index, std::int64_t number);
    CSqliteStatement& Bind(int index, std::string_view text);
    CSqliteStatement& BindBlob(int index, std::span<const unsigned char> data);

    // True while a row is available.
    bool Step();

    std::int64_t Integer(int column) const;
    std::string Text(int column) const;
    // The text itself, valid until the next step.
    std::string_view TextView(int column) const;
    std::span<const unsigned char> Blob(int column) const;

private:
    void Record(int result);

    sqlite3_stmt* m_stmt = nullptr;
    int m_result = 0;
    bool m_owned = false;
};
