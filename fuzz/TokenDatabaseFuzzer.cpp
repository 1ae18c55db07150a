// Opens a token database whose bytes come from the fuzzer. Every call must either work or fail
// with a reason, and a call that fails must leave the file exactly as it was. A file that
// listing calls damaged must not be taken for a database by a change either.
#include "FuzzSupport.h"

#include "TokenDatabase.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Require(bool condition, const std::string& what)
{
    ::Require(condition, "token database", what);
}

StoredToken NewToken(const std::vector<StoredToken>& present)
{
    StoredToken token;
    token.serial = "FUZZ0";
    while (std::any_of(present.begin(), present.end(), [&](const StoredToken& t) { return t.serial == token.serial; }))
        token.serial += '0';
    token.user = "fuzz";
    token.parameters = {TotpAlgorithm::Sha1, 6, 60};
    const std::string_view seed = "12345678901234567890";
    token.seed.assign(seed.begin(), seed.end());
    return token;
}

class Checker {
public:
    explicit Checker(const std::string& path) : m_database(path), m_before(ReadWholeFile(path)) {}

    void Run()
    {
        std::vector<StoredToken> tokens;
        TokenFailure failure;
        const bool listed = m_database.List(tokens, failure);
        RequireResult(listed, failure, "List");
        if (!listed) {
            Require(tokens.empty(), "a failed listing handed out tokens");
            const bool added = m_database.Add(NewToken(tokens), failure);
            Require(!added, "a change was made to a file that listing refused: " + failure.explanation);
            RequireResult(added, failure, "Add");
            return;
        }
        for (const StoredToken& token : tokens)
            CheckFound(token);
        CheckAddAndRemove(NewToken(tokens), tokens.size());
    }

private:
    // A failed call explains itself and leaves the file as it was.
    void RequireResult(bool succeeded, const TokenFailure& failure, const char* call)
    {
        if (succeeded)
            return;
        Require(!failure.title.empty() && !failure.explanation.empty(), std::string(call) + " failed without a reason");
        Require(ReadWholeFile(m_database.Path()) == m_before, std::string(call) + " failed and changed the file");
    }

    void CheckFound(const StoredToken& listed)
    {
        StoredToken found;
        TokenFailure failure;
        const TokenDatabase::Lookup lookup = m_database.Find(listed.serial, found, failure);
        RequireResult(lookup != TokenDatabase::Lookup::Failed, failure, "Find");
        if (lookup == TokenDatabase::Lookup::Found)
            Require(found.serial == listed.serial && found.user == listed.user &&
                        found.parameters.digits == listed.parameters.digits,
                    "Find gives another token than List for " + listed.serial);
    }

    void CheckAddAndRemove(const StoredToken& token, std::size_t countBefore)
    {
        TokenFailure failure;
        const bool added = m_database.Add(token, failure);
        RequireResult(added, failure, "Add");
        if (!added)
            return;
        std::vector<StoredToken> tokens;
        Require(m_database.List(tokens, failure), "the database does not list after a token was added");
        Require(tokens.size() == countBefore + 1 && tokens.back().serial == token.serial,
                "an added token is not listed last");
        Require(m_database.Remove(token.serial, failure), "an added token cannot be removed");
    }

    TokenDatabase m_database;
    std::string m_before;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string folder = ScratchDirectory() + "/kelvane";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/tokens.db";
    WriteWholeFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
    Checker(path).Run();
    return 0;
}
