#include "TokenDatabase.h"

#include "SqliteConnection.h"
#include "SqliteError.h"
#include "TokenRules.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kExplanationLimit = 63;

constexpr const char* kCreateSchema = R"(
    CREATE TABLE IF NOT EXISTS tokens (
        serial TEXT NOT NULL UNIQUE,
        user TEXT NOT NULL,
        issuer TEXT NOT NULL,
        algorithm TEXT NOT NULL,
        digits INTEGER NOT NULL,
        period INTEGER NOT NULL,
        protection TEXT NOT NULL,
        seed BLOB NOT NULL,
        salt BLOB NOT NULL,
        nonce BLOB NOT NULL,
        iterations INTEGER NOT NULL))";

constexpr const char* kSelectColumns =
    "SELECT serial, user, issuer, algorithm, digits, period, protection, seed, salt, nonce, iterations "
    "FROM tokens";

// `path` followed by `rest`, with the start of the path cut when the whole would not fit.
std::string AboutFile(const std::string& path, const std::string& rest)
{
    const std::size_t room = kExplanationLimit > rest.size() + 3 ? kExplanationLimit - rest.size() : 3;
    if (path.size() <= room)
        return path + rest;
    return "..." + path.substr(path.size() - (room - 3)) + rest;
}

TokenFailure FailureFor(const SqliteError& error, const std::string& path)
{
    switch (error.Code()) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_SCHEMA:
        return {"Token database damaged", AboutFile(path, " is not a token database"), true};
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return {"Token database busy", AboutFile(path, " stays locked by another program"), true};
    default:
        return {"Token database error", AboutFile(path, ": " + std::string(error.what())), true};
    }
}

std::vector<unsigned char> ToVector(std::span<const unsigned char> bytes)
{
    return {bytes.begin(), bytes.end()};
}

// A record that breaks the rules cannot have come from us; treat the file as damaged rather
// than hand out a serial number or code that does not fit the callers' fields.
void CheckRecord(const StoredToken& token, const std::string& algorithmName)
{
    if (!TokenRules::CheckSerial(token.serial).empty() || !TokenRules::CheckUser(token.user).empty() ||
        !TokenRules::CheckDigits(token.parameters.digits).empty() ||
        !TokenRules::CheckPeriod(token.parameters.period).empty() || !ParseTotpAlgorithm(algorithmName))
        throw SqliteError(SQLITE_CORRUPT, "invalid token record");
}

StoredToken ReadRecord(const CheckedStatement& row, bool withSecret)
{
    StoredToken token;
    token.serial = row.Text(0);
    token.user = row.Text(1);
    token.issuer = row.Text(2);
    const std::string algorithm = row.Text(3);
    token.parameters.digits = static_cast<int>(row.Number(4));
    token.parameters.period = static_cast<int>(row.Number(5));
    const std::string protection = row.Text(6);
    token.inKeyring = protection == StoredToken::kKeyringType;
    token.isProtected = token.inKeyring || protection == StoredToken::kProtectedType;
    CheckRecord(token, algorithm);
    token.parameters.algorithm = *ParseTotpAlgorithm(algorithm);
    if (!withSecret)
        return token;
    const auto seed = row.Bytes(7);
    if (token.isProtected)
        token.sealed = {ToVector(row.Bytes(8)), ToVector(row.Bytes(9)), ToVector(seed),
                        static_cast<std::uint32_t>(row.Number(10))};
    else
        token.seed.assign(seed.begin(), seed.end());
    return token;
}

bool IsMissing(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) != 0 && errno == ENOENT;
}

// A file created but never given its table (a tool stopped at the wrong moment) is empty.
bool HasTokenTable(SqliteConnection& db, const std::string& path)
{
    CheckedStatement query(db.Handle(),
                          "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'tokens'");
    if (query.Step())
        return true;
    std::error_code error;
    if (std::filesystem::file_size(path, error) == 0 && !error)
        return false;
    throw SqliteError(SQLITE_NOTADB, "no token table");
}

// Every token in a database that has its table, in the order of import; throws when a record
// is damaged or a serial number is there twice (the table's UNIQUE rules that out, so the file
// is damaged).
std::vector<StoredToken> ReadTokens(SqliteConnection& db)
{
    std::vector<StoredToken> tokens;
    std::set<std::string> serials;
    CheckedStatement query(db.Handle(), (std::string(kSelectColumns) + " ORDER BY rowid").c_str());
    while (query.Step()) {
        tokens.push_back(ReadRecord(query, false));
        if (!serials.insert(tokens.back().serial).second)
            throw SqliteError(SQLITE_CORRUPT, "serial number not unique");
    }
    return tokens;
}

// SQLite finds damage only in the pages it reads, and a write into a damaged file spreads it.
void CheckIntegrity(SqliteConnection& db)
{
    CheckedStatement check(db.Handle(), "PRAGMA integrity_check");
    if (!check.Step() || check.Text(0) != "ok")
        throw SqliteError(SQLITE_CORRUPT, "integrity check failed");
}

// Creates the folder (0700) and an empty file (0600) unless they exist, and tightens the mode
// of a file someone made readable by others.
void PrepareFile(const std::string& path)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    if (std::filesystem::create_directories(folder, error))
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
    else if (errno != EEXIST)
        throw SqliteError(SQLITE_CANTOPEN, std::strerror(errno));
    if (::chmod(path.c_str(), 0600) != 0)
        throw SqliteError(SQLITE_CANTOPEN, std::strerror(errno));
}

// Runs `change` in one write transaction, kept only when `change` returns true.
template <typename Change>
bool Write(const std::string& path, Change change)
{
    PrepareFile(path);
    SqliteConnection db(path, true);
    db.Execute("BEGIN IMMEDIATE");
    try {
        // Only what reads whole as a token database is changed: another program's file or a
        // damaged database is refused (these calls throw), not written to.
        if (HasTokenTable(db, path)) {
            CheckIntegrity(db);
            ReadTokens(db);
        } else {
            db.Execute(kCreateSchema);
        }
        const bool keep = change(db);
        db.Execute(keep ? "COMMIT" : "ROLLBACK");
        return keep;
    } catch (...) {
        sqlite3_exec(db.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

} // namespace

TokenFailure TokenDatabase::UnknownToken(const std::string& serial)
{
    // A serial number that is not in the database may be any length; keep the text whole.
    return {"Unknown token", "No token has serial number " + serial.substr(0, 30) + "."};
}

std::string TokenDatabase::DefaultPath()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/')
        return std::string(dataHome) + "/kelvane/tokens.db";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/share/kelvane/tokens.db";
}

bool TokenDatabase::List(std::vector<StoredToken>& tokens, TokenFailure& failure) const
{
    tokens.clear();
    try {
        if (IsMissing(m_path))
            return true;
        SqliteConnection db(m_path, false);
        if (HasTokenTable(db, m_path))
            tokens = ReadTokens(db);
        return true;
    } catch (const SqliteError& error) {
        tokens.clear();
        failure = FailureFor(error, m_path);
        return false;
    }
}

TokenDatabase::Lookup TokenDatabase::Find(const std::string& serial, StoredToken& token,
                                          TokenFailure& failure) const
{
    try {
        if (IsMissing(m_path))
            return Lookup::Missing;
        SqliteConnection db(m_path, false);
        if (!HasTokenTable(db, m_path))
            return Lookup::Missing;
        // The rows themselves, as List reads them: a damaged index must not pair the serial
        // number with another token's record.
        CheckedStatement query(db.Handle(), (std::string(kSelectColumns) + " NOT INDEXED WHERE serial = ?1").c_str());
        query.Bind(1, serial);
        if (!query.Step())
            return Lookup::Missing;
        token = ReadRecord(query, true);
        return Lookup::Found;
    } catch (const SqliteError& error) {
        failure = FailureFor(error, m_path);
        return Lookup::Failed;
    }
}

bool TokenDatabase::Add(const StoredToken& token, TokenFailure& failure) const
{
    try {
        Write(m_path, [&token](SqliteConnection& db) {
            CheckedStatement insert(
                db.Handle(), "INSERT INTO tokens VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
            insert.Bind(1, token.serial);
            insert.Bind(2, token.user);
            insert.Bind(3, token.issuer);
            insert.Bind(4, TotpAlgorithmName(token.parameters.algorithm));
            insert.Bind(5, std::int64_t{token.parameters.digits});
            insert.Bind(6, std::int64_t{token.parameters.period});
            insert.Bind(7, token.ProtectionType());
            insert.Bind(8, token.isProtected ? std::span(token.sealed.ciphertext) : std::span(token.seed));
            insert.Bind(9, std::span(token.sealed.salt));
            insert.Bind(10, std::span(token.sealed.nonce));
            insert.Bind(11, std::int64_t{token.sealed.iterations});
            insert.Step();
            return true;
        });
        return true;
    } catch (const SqliteError& error) {
        failure = error.Code() == SQLITE_CONSTRAINT
                      ? TokenFailure{"Duplicate serial number",
                                     "Serial number " + token.serial + " is already in use."}
                      : FailureFor(error, m_path);
        return false;
    }
}

bool TokenDatabase::Remove(const std::string& serial, TokenFailure& failure) const
{
    try {
        const bool removed = !IsMissing(m_path) && Write(m_path, [&serial](SqliteConnection& db) {
            CheckedStatement remove(db.Handle(), "DELETE FROM tokens WHERE serial = ?1");
            remove.Bind(1, serial);
            remove.Step();
            return sqlite3_changes(db.Handle()) > 0;
        });
        if (!removed)
            failure = UnknownToken(serial);
        return removed;
    } catch (const SqliteError& error) {
        failure = FailureFor(error, m_path);
        return false;
    }
}
