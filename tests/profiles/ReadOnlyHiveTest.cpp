#include <profiles/AppSettings.h>
#include <profiles/ProfileList.h>
#include <profiles/RegistryKey.h>

#include <platform/HiveLocation.h>
#include <res/resource.h>

#include <ChildProcess.h>
#include <TempDir.h>

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What the profile store reports when started in another process; with `otherUser` as a user
// other than the hive's writer.
std::string StartReader(const TempDir& dir, bool otherUser)
{
    uid_t uid = 0;
    if (otherUser && ::geteuid() == 0) {
        // Root ignores file modes: read as nobody, who may reach the hive but not write it.
        const passwd* nobody = ::getpwnam("nobody");
        if (nobody == nullptr)
            return "no user nobody";
        uid = nobody->pw_uid;
        for (const std::string& path : {dir.Path(), dir.Path() + "/config", dir.Path() + "/config/trevalo",
                                        dir.Path() + "/peers"})
            ::chmod(path.c_str(), 0755);
    }
    ChildProcess reader({PROFILE_READER}, uid);
    std::string line;
    reader.ReadLine(line);
    EXPECT_EQ(0, reader.Wait());
    return line;
}

// What the profile store reports when the directory of the hive is mounted read-only for the
// reader, in a mount namespace of its own (as its owner: the files' modes would let it write).
// Empty when this machine lets no process make such a namespace.
std::string StartReaderOnReadOnlyFileSystem(const std::string& hiveDirectory)
{
    const std::string mountAndRead = "mount --bind \"$0\" \"$0\" && mount -o remount,bind,ro \"$0\" && exec \"$1\"";
    ChildProcess reader({"/usr/bin/unshare", "--map-root-user", "--mount", "/bin/sh", "-c", mountAndRead,
                         hiveDirectory, PROFILE_READER});
    std::string line;
    reader.ReadLine(line);
    reader.Wait();
    return line;
}

} // namespace

TEST(ReadOnlyHive, AReaderWhoMayNotWriteGetsDefaultsAndNoProfiles)
{
    TempDir dir;
    CAppSettings::SaveAutoExit(true);
    ASSERT_TRUE(CRegistryKey(IDS_REG_SETTINGS_KEY).WriteString(IDS_REG_NEW_PROFILE_SCRIPT_PATH, "/s/login.scp"));
    ConnectionProfile profile("Office");
    ASSERT_TRUE(profile.Save());
    EXPECT_EQ("loaded=1 profiles=1 autoexit=1 script=/s/login.scp", StartReader(dir, false));

    ::chmod(RegistryHivePath().c_str(), 0444);
    EXPECT_EQ("loaded=0 profiles=0 autoexit=0 script=", StartReader(dir, true));
}

TEST(ReadOnlyHive, AHiveOnAReadOnlyFileSystemGivesDefaultsAndNoProfiles)
{
    TempDir dir;
    CAppSettings::SaveAutoExit(true);
    ConnectionProfile profile("Office");
    ASSERT_TRUE(profile.Save());
    const std::string line = StartReaderOnReadOnlyFileSystem(dir.File("config/trevalo"));
    if (line.empty())
        GTEST_SKIP() << "no mount namespace can be made here";
    EXPECT_EQ("loaded=0 profiles=0 autoexit=0 script=", line);
    // Writable again, the hive works as before.
    EXPECT_EQ("loaded=1 profiles=1 autoexit=1 script=", StartReader(dir, false));
}
