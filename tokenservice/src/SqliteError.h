#pragma once

#include <stdexcept>
#include <string>

// A failed SQLite call, with its primary result code (SQLITE_CONSTRAINT, SQLITE_NOTADB, ...).
class SqliteError : public std::runtime_error {
public:
    SqliteError(int code, const std::string& message) : std::runtime_error(message), m_code(code) {}
    int Code() const { return m_code; }

private:
    int m_code;
};
