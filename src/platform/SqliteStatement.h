#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

struct sqlite3_stmt;

// One use of a prepared SQLite statement that its owner keeps for reuse: bind, then Step until it
// returns false. The destructor resets the statement, so no read stays open past this use.
class CSqliteStatement {
public:
    // `prepareResult` is the SQLite result of preparing `stmt`; a failed preparation fails every step.
    CSqliteStatement(sqlite3_stmt* stmt, int prepareResult);
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
    std::span<const unsigned char> Blob(int column) const;

private:
    void Record(int result);

    sqlite3_stmt* m_stmt = nullptr;
    int m_result = 0;
};
