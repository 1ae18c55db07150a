#include <platform/Phonebook.h>

#include <TempDir.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The entries by the two-call protocol: ask for the size, then fill.
std::vector<std::string> Entries()
{
    RASENTRYNAME probe{};
    probe.dwSize = sizeof probe;
    DWORD bytes = 0;
    DWORD count = 0;
    const DWORD first = RasEnumEntries(nullptr, nullptr, &probe, &bytes, &count);
    std::vector<std::string> names;
    if (count == 0) {
        EXPECT_EQ(ERROR_SUCCESS, first);
        return names;
    }
    EXPECT_EQ(static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL), first);
    EXPECT_EQ(count * sizeof(RASENTRYNAME), bytes);
    std::vector<RASENTRYNAME> records(count);
    records[0].dwSize = sizeof(RASENTRYNAME);
    EXPECT_EQ(ERROR_SUCCESS, RasEnumEntries(nullptr, nullptr, records.data(), &bytes, &count));
    for (DWORD i = 0; i < count; ++i)
        names.emplace_back(records[i].szEntryName);
    return names;
}

} // namespace

TEST(Phonebook, ListsPeersInNameOrder)
{
    TempDir dir;
    for (const char* name : {"work", "Office", "home-isp", "a b"})
        WriteFile(dir.File("peers/" + std::string(name)), "noauth\n");
    WriteFile(dir.File("peers/.hidden"), "x");
    std::filesystem::create_directory(dir.File("peers/subdir"));
    std::filesystem::create_symlink(dir.File("peers/work"), dir.File("peers/work-link"));
    std::filesystem::create_symlink(dir.File("nowhere"), dir.File("peers/dangling"));
    EXPECT_EQ((std::vector<std::string>{"Office", "a b", "home-isp", "work", "work-link"}), Entries());
}

TEST(Phonebook, AMissingOrEmptyPeersDirectoryOrAFileInItsPlaceHasNoEntries)
{
    TempDir dir;
    EXPECT_TRUE(Entries().empty());
    ::setenv("TREVALO_PEERS_DIR", dir.File("no-such-dir").c_str(), 1);
    EXPECT_TRUE(Entries().empty());
    WriteFile(dir.File("peers-file"), "noauth\n");
    ::setenv("TREVALO_PEERS_DIR", dir.File("peers-file").c_str(), 1);
    EXPECT_TRUE(Entries().empty());
}

TEST(Phonebook, ListsOpenVpnClientConfigurationsByNameWithoutTheSuffix)
{
    TempDir dir;
    for (const char* name : {"office.conf", "Home.conf", "notes.txt", "old.conf.bak", "conf", ".hidden.conf", ".conf"})
        WriteFile(dir.File("openvpn/" + std::string(name)), "client\n");
    std::filesystem::create_directory(dir.File("openvpn/keys.conf"));
    std::filesystem::create_symlink(dir.File("openvpn/office.conf"), dir.File("openvpn/link.conf"));
    EXPECT_EQ((std::vector<std::string>{"Home", "link", "office"}), Entries());
}

TEST(Phonebook, ANameInTwoSourcesIsOneEntryAndAllStayInByteOrder)
{
    TempDir dir;
    for (const char* name : {"work", "Office", "dsl"})
        WriteFile(dir.File("peers/" + std::string(name)), "");
    for (const char* name : {"work.conf", "branch.conf", "Zurich.conf"})
        WriteFile(dir.File("openvpn/" + std::string(name)), "");
    EXPECT_EQ((std::vector<std::string>{"Office", "Zurich", "branch", "dsl", "work"}), Entries());
}

TEST(Phonebook, ANameWithAControlCharacterOrABidirectionalControlIsLeftOut)
{
    TempDir dir;
    for (const char* name : {"office", "rlo\xe2\x80\xaetxt.exe", "esc\x1b[2J", "b\xfcro"}) // not UTF-8: shown as U+FFFD
        WriteFile(dir.File("peers/" + std::string(name)), "");
    EXPECT_EQ((std::vector<std::string>{"b\xfcro", "office"}), Entries());
}

TEST(Phonebook, RefusesBadRecordsAndReportsTheNeededSize)
{
    TempDir dir;
    WriteFile(dir.File("peers/one"), "");
    WriteFile(dir.File("peers/two"), "");
    RASENTRYNAME records[2] = {};
    DWORD bytes = sizeof records;
    DWORD count = 0;
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_SIZE), RasEnumEntries(nullptr, nullptr, records, &bytes, &count));
    records[0].dwSize = sizeof(RASENTRYNAME);
    bytes = sizeof(RASENTRYNAME);
    EXPECT_EQ(static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL), RasEnumEntries(nullptr, nullptr, records, &bytes, &count));
    EXPECT_EQ(2u, count);
    EXPECT_EQ(2 * sizeof(RASENTRYNAME), bytes);
    EXPECT_EQ(std::string(), records[1].szEntryName);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER),
              RasEnumEntries(nullptr, "other.pbk", records, &bytes, &count));
    ASSERT_EQ(ERROR_SUCCESS, RasEnumEntries(nullptr, nullptr, records, &bytes, &count));
    EXPECT_EQ("two", std::string(records[1].szEntryName));
    EXPECT_EQ(sizeof(RASENTRYNAME), records[1].dwSize);
}

TEST(Phonebook, TheFillingCallGivesWhatTheSizingCallCountedAndALaterListingReadsAfresh)
{
    TempDir dir;
    WriteFile(dir.File("peers/one"), "");
    RASENTRYNAME records[2] = {};
    records[0].dwSize = sizeof(RASENTRYNAME);
    DWORD bytes = 0;
    DWORD count = 0;
    ASSERT_EQ(static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL), RasEnumEntries(nullptr, nullptr, records, &bytes, &count));
    WriteFile(dir.File("peers/two"), "");
    ASSERT_EQ(ERROR_SUCCESS, RasEnumEntries(nullptr, nullptr, records, &bytes, &count));
    EXPECT_EQ(1u, count);
    EXPECT_EQ("one", std::string(records[0].szEntryName));
    EXPECT_EQ((std::vector<std::string>{"one", "two"}), Entries());
}

TEST(Phonebook, ASizingCallsNamesServeTheFillingCallForLessThanASecond)
{
    using namespace std::chrono_literals;
    TempDir dir;
    WriteFile(dir.File("peers/one"), "");
    static std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now();
    SetPhonebookClock([] { return now; });
    RASENTRYNAME records[2] = {};
    records[0].dwSize = sizeof(RASENTRYNAME);
    for (const auto& [later, counted] : {std::pair{999ms, 1u}, std::pair{1000ms, 2u}}) {
        std::filesystem::remove(dir.File("peers/two"));
        DWORD bytes = 0;
        DWORD count = 0;
        ASSERT_EQ(static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL),
                  RasEnumEntries(nullptr, nullptr, records, &bytes, &count));
        WriteFile(dir.File("peers/two"), "");
        now += later;
        bytes = sizeof records;
        EXPECT_EQ(ERROR_SUCCESS, RasEnumEntries(nullptr, nullptr, records, &bytes, &count));
        EXPECT_EQ(counted, count) << later.count() << " ms after the sizing call";
    }
    SetPhonebookClock(nullptr);
}

// Without a system bus to ask, listing starts no D-Bus machinery (QtDBus keeps a thread for good).
TEST(Phonebook, WithoutASystemBusSocketNoDBusThreadStarts)
{
    TempDir dir;
    EXPECT_TRUE(Entries().empty());
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        EXPECT_NE("QDBusConnection", name);
    }
}
