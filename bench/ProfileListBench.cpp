// LoadAll of many profiles: the time should grow linearly with the count, and so should the heap.
#include <profiles/ProfileList.h>

#include <platform/Registry.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <malloc.h>
#include <string>

namespace {

// A fresh hive holding `count` profiles, written in one transaction to keep the set-up short.
std::string PrepareHive(int count)
{
    std::string directory = (std::filesystem::temp_directory_path() / "trevalo-bench-XXXXXX").string();
    if (::mkdtemp(directory.data()) == nullptr)
        std::abort();
    ::setenv("XDG_CONFIG_HOME", directory.c_str(), 1);
    ::setenv("TREVALO_PEERS_DIR", directory.c_str(), 1);
    RegBeginTransaction();
    for (int i = 0; i < count; ++i) {
        ConnectionProfile profile("Profile " + std::to_string(i));
        profile.DUNPhonebookEntry = "provider-" + std::to_string(i % 7);
        profile.ScriptPath = "/home/user/scripts/login-" + std::to_string(i) + ".scp";
        profile.LoginAppPath = "/usr/bin/dialer";
        profile.UserLogin = "user" + std::to_string(i);
        profile.TokenSerialNumber = "0001234" + std::to_string(10000 + i);
        profile.UpdatePASSCODEDuration = i % 5;
        profile.UserLoginRequired = i % 2 == 0;
        if (!profile.Save())
            std::abort();
    }
    RegCommitTransaction();
    return directory;
}

void LoadAll(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const std::string directory = PrepareHive(count);
    std::size_t heapPerProfile = 0;
    for (auto _ : state) {
        const std::size_t before = mallinfo2().uordblks;
        CProfileList list;
        if (!list.LoadAll() || list.GetCount() != count)
            state.SkipWithError("LoadAll failed");
        heapPerProfile = (mallinfo2().uordblks - before) / static_cast<std::size_t>(count);
        benchmark::DoNotOptimize(list.GetFirst());
    }
    state.counters["heap_bytes_per_profile"] = static_cast<double>(heapPerProfile);
    state.SetItemsProcessed(state.iterations() * count);
    std::filesystem::remove_all(directory);
}

} // namespace

BENCHMARK(LoadAll)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
