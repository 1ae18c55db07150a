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
