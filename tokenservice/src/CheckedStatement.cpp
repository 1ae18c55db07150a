#include "CheckedStatement.h"

#include "SqliteError.h"

CheckedStatement::CheckedStatement(sqlite3* db, const char* sql) : m_db(db), m_statement(db, sql)
{
    ThrowIfFailed();
}

void CheckedStatement::Bind(int index, std::string_view text)
{
    m_statement.Bind(index, text);
    ThrowIfFailed();
}

void CheckedStatement::Bind(int index, std::int64_t number)
{
    m_statement.Bind(index, number);
    ThrowIfFailed();
}

void CheckedStatement::Bind(int index, std::span<const unsigned char> bytes)
{
    m_statement.BindBlob(index, bytes);
    ThrowIfFailed();
}

bool CheckedStatement::Step()
{
    const bool row = m_statement.Step();
    ThrowIfFailed();
    return row;
}

void CheckedStatement::ThrowIfFailed() const
{
    if (m_statement.Failed())
        throw SqliteError(m_statement.Result() & 0xff, sqlite3_errmsg(m_db));
}
