// The three passcodes of GetPasscode, computed in-process, as the login run asks for them.
#include "TokenDatabase.h"
#include "Totp.h"

#include <tokapi.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace {

// A private token database holding one token, for as long as the benchmark runs.
class BenchDatabase {
public:
    BenchDatabase()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "trevalo-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot create a temporary directory");
        m_path = pattern;
        ::setenv("XDG_DATA_HOME", m_path.c_str(), 1);
        StoredToken token;
        token.serial = "BENCH1";
        token.user = "bench";
        token.parameters = {TotpAlgorithm::Sha1, 8, 60};
        token.seed.assign(20, 0x5a);
        TokenFailure failure;
        if (!TokenDatabase(TokenDatabase::DefaultPath()).Add(token, failure))
            throw std::runtime_error(failure.explanation);
    }
    ~BenchDatabase() { std::filesystem::remove_all(m_path); }
    BenchDatabase(const BenchDatabase&) = delete;
    BenchDatabase& operator=(const BenchDatabase&) = delete;

private:
    std::string m_path;
};

void BM_GetPasscode(benchmark::State& state)
{
    BenchDatabase database;
    TOKEN_HANDLE handle = 0;
    if (OpenTokenService(&handle) == 0 || SelectToken(handle, "BENCH1", "", "") == 0) {
        state.SkipWithError("cannot open the token service");
        return;
    }
    char passcode[TOKEN_PASSCODE_SIZE];
    char next[TOKEN_PASSCODE_SIZE];
    char noPin[TOKEN_PASSCODE_SIZE];
    char reserved[TOKEN_PASSCODE_SIZE];
    for (auto _ : state) {
        benchmark::DoNotOptimize(GetPasscode(handle, "12345678", passcode, next, noPin, reserved));
        benchmark::ClobberMemory();
    }
    CloseTokenService(handle);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetPasscode);

void BM_TotpCode(benchmark::State& state)
{
    const std::vector<unsigned char> seed(20, 0x5a);
    std::int64_t time = 1700000000;
    for (auto _ : state)
        benchmark::DoNotOptimize(TotpCode(seed, {TotpAlgorithm::Sha1, 8, 60}, time += 60));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TotpCode);

} // namespace

BENCHMARK_MAIN();
