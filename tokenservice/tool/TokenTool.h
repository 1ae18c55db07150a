#pragma once

#include "StoredToken.h"
#include "TokenDatabase.h"
#include "TokenFailure.h"
#include "ToolArguments.h"

#include <string>

// The kelvane-token commands on one token database. Messages go to standard error, results to
// standard output.
class TokenTool {
public:
    enum ExitCode { kExitOk = 0, kExitUsage = 1, kExitBadInput = 2, kExitRefused = 3, kExitStorage = 4 };

    explicit TokenTool(TokenDatabase database) : m_database(std::move(database)) {}

    int Run(int argc, char** argv);

private:
    int Import(const ToolArguments& arguments);
    int List();
    int Remove(const ToolArguments& arguments);
    int Code(const ToolArguments& arguments);

    // The token to add, checked and (with --protect or --keyring) sealed, with --keyring under
    // the new `key`; false with `problem` set.
    bool PrepareImport(const ToolArguments& arguments, StoredToken& token, SecretBytes& key, std::string& problem);
    // Seed, parameters, issuer and default user from SOURCE; false with `problem` set.
    bool LoadSource(const ToolArguments& arguments, StoredToken& token, std::string& problem);
    bool LoadSeed(const ToolArguments& arguments, std::string_view seedText, StoredToken& token,
                  std::string& problem);
    bool Protect(StoredToken& token, std::string& problem);
    static void Seal(StoredToken& token, std::string_view key, std::uint32_t iterations);
    // TokenRules::CheckUser, and for a new token also no C1 control character, no bidirectional
    // control and UTF-8 only.
    static std::string CheckUser(const std::string& user);

    static int Complain(int exitCode, const std::string& message);
    static int Complain(const TokenFailure& failure);

    TokenDatabase m_database;
};
