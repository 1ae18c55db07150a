#include "SqliteStatement.h"

#include <sqlite3.h>

CSqliteStatement::CSqliteStatement(sqlite3_stmt* stmt, int prepareResult) : m_stmt(stmt), m_result(prepareResult) {}

CSqliteStatement::CSqliteStatement(sqlite3* db, const char* sql) : m_owned(true)
{
    m_result = sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr);
}

CSqliteStatement::~CSqliteStatement()
{
    if (!m_stmt)
        return;
    if (m_owned) {
        sqlite3_finalize(m_stmt);
        return;
    }
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

bool CSqliteStatement::Failed() const
{
    return m_result != SQLITE_OK && m_result != SQLITE_ROW && m_result != SQLITE_DONE;
}

void CSqliteStatement::Record(int result)
{
    if (!Failed())
        m_result = result;
}

CSqliteStatement& CSqliteStatement::Bind(int index, std::int64_t number)
{
    if (m_stmt)
        Record(sqlite3_bind_int64(m_stmt, index, number));
    return *this;
}

CSqliteStatement& CSqliteStatement::Bind(int index, std::string_view text)
{
    if (m_stmt)
        Record(sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
    return *this;
}

CSqliteStatement& CSqliteStatement::BindBlob(int index, std::span<const unsigned char> data)
{
    // A zero-length blob must still be a blob, not NULL: bind a non-null pointer.
    static const unsigned char empty = 0;
    const void* bytes = data.empty() ? &empty : data.data();
    if (m_stmt)
        Record(sqlite3_bind_blob(m_stmt, index, bytes, static_cast<int>(data.size()), SQLITE_TRANSIENT));
    return *this;
}

bool CSqliteStatement::Step()
{
    if (!m_stmt || Failed())
        return false;
    m_result = sqlite3_step(m_stmt);
    return m_result == SQLITE_ROW;
}

std::int64_t CSqliteStatement::Integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

std::string CSqliteStatement::Text(int column) const
{
    return std::string(TextView(column));
}

std::string_view CSqliteStatement::TextView(int column) const
{
    const auto* text = sqlite3_column_text(m_stmt, column);
    return text ? std::string_view(reinterpret_cast<const char*>(text),
                                   static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, column)))
                : std::string_view();
}

std::span<const unsigned char> CSqliteStatement::Blob(int column) const
{
    const auto* data = static_cast<const unsigned char*>(sqlite3_column_blob(m_stmt, column));
    return {data, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, column))};
}
