// RewriteScript over a 10 MB script with placeholders on most lines.
#include "ScriptFixture.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

void BM_RewriteScript(benchmark::State& state)
{
    const auto dir = std::filesystem::temp_directory_path() / ("trevalo-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string source = (dir / "LOGIN.BAK").string();
    const std::string target = (dir / "login.scp").string();
    const auto bytes = static_cast<std::size_t>(state.range(0));
    WriteLargeScript(source, bytes);

    RunPasscodes passcodes;
    for (auto _ : state) {
        if (!RewriteWithFixedValues(source, target, passcodes))
            state.SkipWithError("rewrite failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
    std::filesystem::remove_all(dir);
}

} // namespace

BENCHMARK(BM_RewriteScript)->Arg(10 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
