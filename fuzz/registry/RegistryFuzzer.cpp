// Differential target: applies the calls of an input to the registry store and to a plain
// in-memory model of it, on a fresh hive each time, and stops at the first call whose results
// differ.
#include "FuzzSupport.h"

#include "ModelRegistry.h"
#include "RealRegistry.h"
#include "RegistryOperations.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

// Each input gets its own hive: a new directory, so the store opens a new file.
std::string FreshConfigDirectory()
{
    static unsigned long runs = 0;
    const std::string path = ScratchDirectory() + "/config-" + std::to_string(++runs);
    ::setenv("XDG_CONFIG_HOME", path.c_str(), 1);
    return path;
}

void Run(const std::vector<Operation>& operations)
{
    RealRegistry real;
    ModelRegistry model;
    for (std::size_t i = 0; i < operations.size(); ++i) {
        const std::string expected = model.Apply(operations[i]);
        const std::string actual = real.Apply(operations[i]);
        Require(actual == expected, "registry",
                "call " + std::to_string(i + 1) + " gave \"" + actual + "\" where the model gives \"" + expected +
                    "\"");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string config = FreshConfigDirectory();
    Run(ParseOperations(std::string_view(reinterpret_cast<const char*>(data), size)));
    std::filesystem::remove_all(config);
    return 0;
}
