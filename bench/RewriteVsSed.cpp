// Whole-process comparison: this program's script rewrite against sed making the same six
// substitutions on the same file, timed in one run. Also reports peak memory per process, for
// two file sizes, to show that memory does not grow with the file.
//
//   rewrite_vs_sed [RUNS]            compare (default 7 runs per tool and size)
//   rewrite_vs_sed --rewrite SRC DST one rewrite (the measured child)
#include "ScriptFixture.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct Measure {
    double seconds;
    long maxRssKb;
};

// Runs `argv`, its standard output going to `outputPath` when one is given.
Measure Run(const std::vector<std::string>& argv, const std::string& outputPath)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!outputPath.empty())
        posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> args;
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) {
        std::perror(args[0]);
        std::exit(1);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", args[0]);
        std::exit(1);
    }
    return {elapsed.count(), usage.ru_maxrss};
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Compares in small pieces: this process's own memory must stay small, because a spawned
// child's peak memory can be no lower than its parent's at the time of the spawn.
bool SameContents(const std::string& a, const std::string& b)
{
    std::ifstream first(a, std::ios::binary), second(b, std::ios::binary);
    char x[1 << 16], y[1 << 16];
    while (first && second) {
        first.read(x, sizeof x);
        second.read(y, sizeof y);
        if (first.gcount() != second.gcount() || !std::equal(x, x + first.gcount(), y))
            return false;
    }
    return first.eof() && second.eof();
}

void Compare(const std::string& self, const std::filesystem::path& dir, std::size_t bytes, int runs)
{
    const std::string source = (dir / "LOGIN.BAK").string();
    const std::string ours = (dir / "ours.scp").string();
    const std::string theirs = (dir / "sed.scp").string();
    WriteLargeScript(source, bytes);

    std::vector<double> ourTimes, sedTimes;
    long ourRss = 0, sedRss = 0;
    for (int i = 0; i < runs; ++i) {
        const Measure a = Run({self, "--rewrite", source, ours}, "");
        const Measure b = Run({"sed", "-e", kSedScript, source}, theirs);
        ourTimes.push_back(a.seconds);
        sedTimes.push_back(b.seconds);
        ourRss = std::max(ourRss, a.maxRssKb);
        sedRss = std::max(sedRss, b.maxRssKb);
    }
    const bool same = SameContents(ours, theirs);
    std::printf("%6zu MB  rewrite %7.1f ms  sed %7.1f ms  ratio %.2f  peak memory: rewrite %ld KiB, sed %ld KiB%s\n",
                bytes >> 20, 1000 * Median(ourTimes), 1000 * Median(sedTimes), Median(ourTimes) / Median(sedTimes),
                ourRss, sedRss, same ? "" : "  OUTPUTS DIFFER");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--rewrite") {
        RunPasscodes passcodes;
        return RewriteWithFixedValues(argv[2], argv[3], passcodes) ? 0 : 1;
    }
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const auto dir = std::filesystem::temp_directory_path() / ("trevalo-sed-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string self = std::filesystem::canonical("/proc/self/exe").string();
    rusage own{};
    ::getrusage(RUSAGE_SELF, &own);
    std::printf("median of %d runs each, same input, outputs compared byte for byte\n", runs);
    std::printf("(peak memory of a child includes this process's own, %ld KiB)\n", own.ru_maxrss);
    Compare(self, dir, std::size_t{10} << 20, runs);
    Compare(self, dir, std::size_t{100} << 20, std::max(1, runs / 3));
    std::filesystem::remove_all(dir);
    return 0;
}
