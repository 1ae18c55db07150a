// `kelvane-token code` against `oathtool --totp` for the same token, each as a whole process.
// Runs alternate between the two so that a busy moment of the machine hits both alike.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

constexpr const char* kSeed = "LJNFUWS2LJNFUWS2LJNFUWS2LJNFUWS2"; // twenty bytes of 0x5a

// Runs `arguments` with its output discarded and its standard input from the file `input` (or
// /dev/null); the run's wall time in seconds, or -1 on failure.
double TimedRun(const std::vector<std::string>& arguments, const std::string& input = "/dev/null")
{
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    int status = -1;
    const bool started = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!started || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 500;
    std::string folder = (std::filesystem::temp_directory_path() / "trevalo-bench-XXXXXX").string();
    if (runs <= 0 || ::mkdtemp(folder.data()) == nullptr) {
        std::fprintf(stderr, "usage: token_process_bench [RUNS]\n");
        return 2;
    }
    ::setenv("XDG_DATA_HOME", folder.c_str(), 1);

    const std::vector<std::string> ours = {KELVANE_TOKEN_PATH, "code", "BENCH1"};
    const std::vector<std::string> theirs = {"oathtool", "--totp", "-s", "60", "-d", "8", "-b", kSeed};
    int result = 0;
    // kelvane-token takes the seed on standard input only, never on its command line.
    const std::string seedFile = folder + "/seed";
    std::FILE* seed = std::fopen(seedFile.c_str(), "w");
    const bool written = seed != nullptr && std::fprintf(seed, "%s\n", kSeed) > 0;
    if (seed != nullptr)
        std::fclose(seed);
    if (!written ||
        TimedRun({KELVANE_TOKEN_PATH, "import", "--user", "bench", "--digits", "8", "BENCH1"}, seedFile) < 0) {
        std::fprintf(stderr, "token_process_bench: cannot import the token\n");
        result = 1;
    }
    double oursTotal = 0;
    double theirsTotal = 0;
    for (int i = 0; i < runs && result == 0; ++i) {
        const double oursTime = TimedRun(ours);
        const double theirsTime = TimedRun(theirs);
        if (oursTime < 0 || theirsTime < 0) {
            std::fprintf(stderr, "token_process_bench: a run failed (is oathtool installed?)\n");
            result = 1;
        }
        oursTotal += oursTime;
        theirsTotal += theirsTime;
    }
    if (result == 0)
        std::printf("%d runs each\nkelvane-token code  %.3f ms per run\noathtool --totp     %.3f ms per run\n"
                    "ratio               %.2f\n",
                    runs, oursTotal / runs * 1000, theirsTotal / runs * 1000, oursTotal / theirsTotal);
    std::filesystem::remove_all(folder);
    return result;
}
