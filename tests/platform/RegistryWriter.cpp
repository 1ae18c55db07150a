// Test helper: a second process that uses the hive, so tests can kill it or run two at once.
//   registry_writer write PREFIX COUNT   sets PREFIX0..PREFIX<COUNT-1> under SOFTWARE\Durability,
//                                        printing each index once its write has returned success
//   registry_writer open                 prints the status of opening SOFTWARE\Trevalo for writing
#include <platform/Registry.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

constexpr REGSAM kAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

void Report(const std::string& line)
{
    const std::string text = line + "\n";
    if (::write(STDOUT_FILENO, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        _exit(3);
}

int Fail(const char* step, LSTATUS status)
{
    std::fprintf(stderr, "registry_writer: %s failed with status %ld\n", step, status);
    return 1;
}

int Write(const std::string& prefix, int count)
{
    HKEY key = nullptr;
    if (LSTATUS status = RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Durability", kAccess, &key, nullptr);
        status != ERROR_SUCCESS)
        return Fail("create", status);
    for (int i = 0; i < count; ++i) {
        const std::string name = prefix + std::to_string(i);
        const DWORD data = static_cast<DWORD>(i);
        if (LSTATUS status =
                RegSetValueEx(key, name.c_str(), REG_DWORD, reinterpret_cast<const unsigned char*>(&data), 4);
            status != ERROR_SUCCESS)
            return Fail(name.c_str(), status);
        Report(std::to_string(i));
    }
    RegCloseKey(key);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "write") == 0)
        return Write(argv[2], std::stoi(argv[3]));
    if (argc == 2 && std::strcmp(argv[1], "open") == 0) {
        HKEY key = nullptr;
        const LSTATUS status = RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Trevalo", kAccess, &key, nullptr);
        Report(std::to_string(status));
        if (status == ERROR_SUCCESS)
            RegCloseKey(key);
        return 0;
    }
    return 2;
}
