#include "SqliteStatement.h"

#include "SqliteError.h"

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql) : m_db(db)
{
    Check(sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr));
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

void SqliteStatement::Bind(int index, std::string_view text)
{
    Check(
        sqlite3_bind_text(m_statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
}

void SqliteStatement::Bind(int index, std::int64_t number)
{
    Check(sqlite3_bind_int64(m_statement, index, number));
}

void SqliteStatement::Bind(int index, std::span<const unsigned char> bytes)
{
    // A zero-length blob, not NULL, when there are no bytes.
    Check(sqlite3_bind_blob(m_statement, index, bytes.empty() ? "" : static_cast<const void*>(bytes.data()),
                            static_cast<int>(bytes.size()), SQLITE_TRANSIENT));
}

bool SqliteStatement::Step()
{
    const int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW)
        return true;
    if (result != SQLITE_DONE)
        Check(result);
    return false;
}

std::string SqliteStatement::Text(int column) const
{
    const auto* text = sqlite3_column_text(m_statement, column);
    return text == nullptr ? std::string()
                           : std::string(reinterpret_cast<const char*>(text),
                                         static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column)));
}

std::int64_t SqliteStatement::Number(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

std::span<const unsigned char> SqliteStatement::Bytes(int column) const
{
    const auto* data = static_cast<const unsigned char*>(sqlite3_column_blob(m_statement, column));
    return {data, data == nullptr ? 0 : static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column))};
}

void SqliteStatement::Check(int result) const
{
    if (result != SQLITE_OK)
        throw SqliteError(result & 0xff, sqlite3_errmsg(m_db));
}
