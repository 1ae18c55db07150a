#pragma once

#include "StoredToken.h"
#include "TokenFailure.h"

#include <string>
#include <vector>

// The token database: one SQLite file, mode 0600, in which every change is one transaction.
// A database that does not exist yet reads as empty; only a change creates it.
class TokenDatabase {
public:
    enum class Lookup { Found, Missing, Failed };

    // $XDG_DATA_HOME/kelvane/tokens.db, or ~/.local/share/kelvane/tokens.db.
    static std::string DefaultPath();

    // The failure for a serial number that is not in the database.
    static TokenFailure UnknownToken(const std::string& serial);

    explicit TokenDatabase(std::string path) : m_path(std::move(path)) {}
    const std::string& Path() const { return m_path; }

    // Every token in the order of import; secrets are left out.
    bool List(std::vector<StoredToken>& tokens, TokenFailure& failure) const;
    Lookup Find(const std::string& serial, StoredToken& token, TokenFailure& failure) const;
    // Fails, changing nothing, when a token with the same serial number exists.
    bool Add(const StoredToken& token, TokenFailure& failure) const;
    // Fails when there is no such token.
    bool Remove(const std::string& serial, TokenFailure& failure) const;

private:
    std::string m_path;
};
