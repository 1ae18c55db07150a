#include <RegTool.h>

#include <platform/Registry.h>
#include <profiles/AppSettings.h>
#include <profiles/ConnectionProfile.h>

#include <TempDir.h>

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

namespace {

const std::string kTrevalo = "HKLM\\SOFTWARE\\Talvex Vediredo\\Talvex Kelvane Software Token\\3.0\\Trevalo";
const std::string kHeader = "Windows Registry Editor Version 5.00\n";

class RegTool : public ::testing::Test {
protected:
    int Run(const std::vector<std::string>& arguments)
    {
        std::ostringstream out;
        std::ostringstream err;
        const int code = RunRegTool(arguments, out, err);
        m_out = out.str();
        m_err = err.str();
        return code;
    }

    std::string Export(const std::string& key = "HKLM\\SOFTWARE")
    {
        const std::string file = m_dir.File("export.reg");
        EXPECT_EQ(0, Run({"export", key, file})) << m_err;
        return ReadFile(file);
    }

    void Set(const char* path, const char* name, DWORD type, const std::string& bytes)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyEx(HKEY_LOCAL_MACHINE, path, KEY_WRITE | KEY_READ, &key, nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueEx(key, name, type, reinterpret_cast<const unsigned char*>(bytes.data()),
                                               static_cast<DWORD>(bytes.size())));
        RegCloseKey(key);
    }

    TempDir m_dir;
    std::string m_out;
    std::string m_err;
};

std::string Nested(std::string key, const std::string& name, int levels)
{
    for (int level = 0; level < levels; ++level)
        key += "\\" + name;
    return key;
}

struct HostileName {
    const char* label;
    std::string name;
    std::string shown = {}; // as query shows it, when not as it is
};

class RegToolName : public RegTool, public ::testing::WithParamInterface<HostileName> {};

} // namespace

TEST_F(RegTool, SetsTheNewProfileScriptPathAndShowsIt)
{
    ASSERT_EQ(0, Run({"add", kTrevalo, "/v", "NewProfileDefaultScriptPath", "/d", "/etc/trevalo/login.scp"})) << m_err;
    ASSERT_EQ(0, Run({"add", kTrevalo, "/V", "AutoExit", "/T", "reg_dword", "/D", "0x2A"})) << m_err;
    ASSERT_EQ(0, Run({"add", kTrevalo + "\\DialUpNetworkingProfiles"})) << m_err;
    ASSERT_EQ(0, Run({"query", "HKEY_LOCAL_MACHINE" + kTrevalo.substr(4)}));
    EXPECT_EQ("HKEY_LOCAL_MACHINE\\SOFTWARE\\Talvex Vediredo\\Talvex Kelvane Software Token\\3.0\\Trevalo\n"
              "    NewProfileDefaultScriptPath    REG_SZ    /etc/trevalo/login.scp\n"
              "    AutoExit    REG_DWORD    0x2a\n"
              "\n"
              "HKEY_LOCAL_MACHINE\\SOFTWARE\\Talvex Vediredo\\Talvex Kelvane Software Token\\3.0\\Trevalo\\"
              "DialUpNetworkingProfiles\n",
              m_out);
    ASSERT_EQ(0, Run({"query", kTrevalo, "/v", "autoexit"}));
    EXPECT_EQ("HKEY_LOCAL_MACHINE\\SOFTWARE\\Talvex Vediredo\\Talvex Kelvane Software Token\\3.0\\Trevalo\n"
              "    AutoExit    REG_DWORD    0x2a\n",
              m_out);
    EXPECT_EQ(1, Run({"query", kTrevalo, "/v", "Missing"}));
    EXPECT_EQ(1, Run({"query", "HKLM\\SOFTWARE\\Nothing"}));
    EXPECT_NE(std::string::npos, m_err.find("no such key"));
}

TEST_F(RegTool, RefusesBadArgumentsWithoutChangingAnything)
{
    EXPECT_EQ(2, Run({}));
    EXPECT_EQ(2, Run({"frobnicate"}));
    EXPECT_EQ(2, Run({"add", "HKCU\\Software", "/v", "x"}));
    EXPECT_EQ(2, Run({"add", kTrevalo, "/v"}));
    EXPECT_EQ(2, Run({"add", kTrevalo, "/x", "y"}));
    EXPECT_EQ(1, Run({"add", kTrevalo, "/v", "n", "/t", "REG_MULTI_SZ", "/d", "x"}));
    EXPECT_NE(std::string::npos, m_err.find("unknown type"));
    for (const char* bad : {"-1", "4294967296", "12abc", "", "0x"})
        EXPECT_EQ(1, Run({"add", kTrevalo, "/v", "n", "/t", "REG_DWORD", "/d", bad})) << bad;
    EXPECT_EQ(1, Run({"query", "HKLM\\SOFTWARE"}));
    EXPECT_EQ(0, Run({"--help"}));
    EXPECT_NE(std::string::npos, m_out.find("Usage: trevalo-reg"));
}

TEST_F(RegTool, DeletesValuesAndWholeKeys)
{
    Set("SOFTWARE\\T\\A\\Deep", "v", REG_SZ, std::string("x", 2));
    Set("SOFTWARE\\T\\B", "keep", REG_SZ, std::string("y", 2));
    EXPECT_EQ(1, Run({"delete", "HKLM\\SOFTWARE\\T\\B", "/v", "nothing"}));
    EXPECT_EQ(0, Run({"delete", "HKLM\\SOFTWARE\\T\\A"})) << m_err;
    EXPECT_EQ(1, Run({"delete", "HKLM\\SOFTWARE\\T\\A"}));
    EXPECT_EQ(1, Run({"delete", "HKLM"}));
    EXPECT_EQ(0, Run({"delete", "HKLM\\SOFTWARE\\T\\B", "/v", "KEEP"}));
    EXPECT_EQ(kHeader + "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\T]\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\T\\B]\n\n",
              Export("HKLM\\SOFTWARE\\T"));
}

TEST_F(RegTool, ExportThenImportReproducesKeysAndValuesExactly)
{
    Set("SOFTWARE\\Trevalo\\Profiles\\Office", "DUNPhonebookEntry", REG_SZ, std::string("work \"vpn\" C:\\x", 16));
    Set("SOFTWARE\\Trevalo\\Profiles\\Office", "UpdatePASSCODEDuration", REG_DWORD, std::string("\x05\0\0\0", 4));
    Set("SOFTWARE\\Trevalo\\Profiles\\Office", "", REG_SZ, std::string("default\0", 8));
    Set("SOFTWARE\\Trevalo\\Odd", "no terminator", REG_SZ, "abc");
    Set("SOFTWARE\\Trevalo\\Odd", "two lines", REG_SZ, std::string("a\r\nb\0", 5));
    Set("SOFTWARE\\Trevalo\\Odd", "short number", REG_DWORD, "\x07");
    Set("SOFTWARE\\Trevalo\\Odd", "na\"me\\", REG_BINARY, std::string("\0\xff", 2));
    Set("SOFTWARE\\Trevalo\\Odd", "empty", REG_NONE, "");
    Set("SOFTWARE\\Trevalo\\Odd", "Ünïcode", REG_SZ, std::string("grüße\0", 8));
    HKEY empty = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Trevalo\\Empty Key", KEY_WRITE, &empty,
                                            nullptr));
    RegCloseKey(empty);
    Set("", "at the root", REG_DWORD, std::string("\x01\0\0\0", 4));
    const std::string exported = Export("HKEY_LOCAL_MACHINE");
    const std::string file = m_dir.File("saved.reg");
    WriteFile(file, exported);
    struct stat info {};
    ASSERT_EQ(0, ::stat(m_dir.File("export.reg").c_str(), &info));
    EXPECT_EQ(0600u, info.st_mode & 0777);

    ASSERT_EQ(0, Run({"delete", "HKLM\\SOFTWARE"}));
    ASSERT_EQ(0, Run({"delete", "HKLM", "/v", "at the root"}));
    EXPECT_EQ(kHeader + "\n[HKEY_LOCAL_MACHINE]\n\n", Export("HKLM"));
    ASSERT_EQ(0, Run({"import", file})) << m_err;
    EXPECT_EQ(exported, Export("HKLM"));
    EXPECT_NE(std::string::npos, exported.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trevalo\\Empty Key]\n"));
}

TEST_F(RegTool, AMalformedImportChangesNothing)
{
    Set("SOFTWARE\\T", "v", REG_SZ, std::string("before", 7));
    const std::string before = Export();
    const std::string key = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\T]\n";
    const std::string file = m_dir.File("in.reg");
    WriteFile(file, kHeader + key + "\"v\"=\"after\"\n\"w\"=dword:1\n\"x\"=dword:zz\n");
    EXPECT_EQ(1, Run({"import", file}));
    EXPECT_EQ("trevalo-reg: " + file + ":5: bad number \"zz\": expected 1 to 8 hexadecimal digits; nothing was "
              "imported\n",
              m_err);
    EXPECT_EQ(before, Export());

    WriteFile(file, kHeader + key + "\"v\"=\"after\"\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\T]\n\"late\"=\"x\"\n");
    EXPECT_EQ(1, Run({"import", file}));
    EXPECT_NE(std::string::npos, m_err.find(":5: a value must follow a [key] line"));
    EXPECT_EQ(before, Export());
    WriteFile(file, kHeader + key + "\"v\"=dword:\x1b]0;x\x07\n");
    EXPECT_EQ(1, Run({"import", file}));
    EXPECT_NE(std::string::npos, m_err.find(":3: bad number \"\\x1b]0;x\\x07\"")) << m_err;
    EXPECT_EQ(1, Run({"import", m_dir.File("absent.reg")}));
}

// Every name the hive takes comes back byte for byte, as a key and as a value name; a key name
// with a line break is the one thing refused, at add, and never stored. Query shows it escaped.
TEST_P(RegToolName, ComesBackExactlyFromExportAndImportOrIsRefusedAtAdd)
{
    const std::string& name = GetParam().name;
    const std::string shown = GetParam().shown.empty() ? name : GetParam().shown;
    const std::string key = "HKLM\\SOFTWARE\\T\\" + name;
    const bool lineBreak = name.find_first_of("\r\n") != std::string::npos;
    ASSERT_EQ(0, Run({"add", "HKLM\\SOFTWARE\\T", "/v", name, "/d", name})) << m_err;
    EXPECT_EQ(lineBreak ? 2 : 0, Run({"add", key, "/v", name, "/d", name})) << m_err;
    if (lineBreak) {
        EXPECT_EQ("trevalo-reg: bad key: a name in it holds a line break, which a .reg file cannot hold\n", m_err);
    }
    const std::string exported = Export();
    const std::string file = m_dir.File("saved.reg");
    WriteFile(file, exported);

    const TempDir freshHive;
    ASSERT_EQ(0, Run({"import", file})) << m_err;
    EXPECT_EQ(exported, Export());
    ASSERT_EQ(0, Run({"query", "HKLM\\SOFTWARE\\T", "/v", name})) << m_err;
    EXPECT_EQ("HKEY_LOCAL_MACHINE\\SOFTWARE\\T\n    " + shown + "    REG_SZ    " + shown + "\n", m_out);
    EXPECT_EQ(lineBreak ? 1 : 0, Run({"query", key, "/v", name}));
}

TEST_F(RegTool, QueryShowsKeyNamesEscaped)
{
    Set("SOFTWARE\\T\x1b]0;\\U\x07", "v", REG_SZ, std::string("x", 2));
    ASSERT_EQ(0, Run({"query", "HKLM\\SOFTWARE\\T\x1b]0;"}));
    EXPECT_EQ("HKEY_LOCAL_MACHINE\\SOFTWARE\\T\\x1b]0;\n\nHKEY_LOCAL_MACHINE\\SOFTWARE\\T\\x1b]0;\\U\\x07\n", m_out);
}

INSTANTIATE_TEST_SUITE_P(
    SpecialInRegFiles, RegToolName,
    ::testing::Values(HostileName{"LineFeed", "two\nlines", "two\\x0alines"},
                      HostileName{"CarriageReturn", "car\rriage", "car\\x0driage"},
                      HostileName{"LineBreakAtTheEnd", "ends\r\n", "ends\\x0d\\x0a"},
                      HostileName{"Tab", "t\tab", "t\\x09ab"},
                      HostileName{"OtherControls", "\x01 bell\x07 esc\x1b\x1f", "\\x01 bell\\x07 esc\\x1b\\x1f"},
                      HostileName{"Delete", "del\x7f", "del\\x7f"},
                      HostileName{"C1BidiNotUtf8", "\xc2\x9b \xe2\x80\xae \xfc", "\\xc2\\x9b \\xe2\\x80\\xae \\xfc"},
                      HostileName{"ClosingBracket", "a]b]"}, HostileName{"OpeningBracket", "[a"},
                      HostileName{"Quote", "\"q\"uote"}, HostileName{"Backslash", "back\\slash\\"},
                      HostileName{"EscapeLookalike", "not\\x0a"}, HostileName{"Equals", "a=b=\"c\"=d"},
                      HostileName{"CommentAndDash", ";-x"}, HostileName{"Spaces", "  spaced  "},
                      HostileName{"Utf8", "grüße ✓"}, HostileName{"Longest", std::string(255, 'k')}),
    [](const ::testing::TestParamInfo<HostileName>& instance) { return std::string(instance.param.label); });

TEST_F(RegTool, KeysGoAtMost512LevelsDeep)
{
    const std::string deepest = Nested("HKLM", "K", 512);
    EXPECT_EQ(0, Run({"add", deepest})) << m_err;
    EXPECT_EQ(2, Run({"add", deepest + "\\K", "/v", "v", "/d", "x"}));
    EXPECT_EQ("trevalo-reg: bad key: it is 513 levels deep, deeper than the 512 levels a key can have\n", m_err);
    EXPECT_EQ(1, Run({"query", deepest + "\\K"}));

    std::string text = kHeader + "[HKEY_LOCAL_MACHINE\\L]\n\"v\"=dword:1\n";
    for (int depth = 2; depth <= 600; ++depth)
        text += "[" + Nested("HKEY_LOCAL_MACHINE", "L", depth) + "]\n";
    const std::string file = m_dir.File("deep.reg");
    WriteFile(file, text);
    EXPECT_EQ(1, Run({"import", file}));
    EXPECT_EQ("trevalo-reg: " + file +
                  ":515: bad key: it is 513 levels deep, deeper than the 512 levels a key can have; nothing was "
                  "imported\n",
              m_err);
    EXPECT_EQ(1, Run({"query", "HKLM\\L"}));
}

// What the hive holds but a .reg file could not give back is refused, and no file is written.
TEST_F(RegTool, ExportRefusesAKeyThatCouldNotBeImported)
{
    Set("SOFTWARE\\T\\two\nlines\\below", "v", REG_SZ, std::string("x", 2));
    const std::string file = m_dir.File("out.reg");
    EXPECT_EQ(1, Run({"export", "HKLM\\SOFTWARE", file}));
    EXPECT_EQ("trevalo-reg: cannot export key HKEY_LOCAL_MACHINE\\SOFTWARE\\T\\two\\x0alines: a name in it holds a "
              "line break, which a .reg file cannot hold; nothing was written\n",
              m_err);
    EXPECT_FALSE(PathExists(file));

    Set(Nested("DEEP", "K", 512).c_str(), "v", REG_SZ, std::string("x", 2));
    EXPECT_EQ(1, Run({"export", "HKLM\\DEEP", file}));
    EXPECT_NE(std::string::npos, m_err.find("513 levels deep")) << m_err;
    EXPECT_FALSE(PathExists(file));
}

// What an administrator deploys from the README's example is what Trevalo reads.
TEST_F(RegTool, TheShippedProfileExampleImportsAsTheProgramReadsIt)
{
    ASSERT_EQ(0, Run({"import", TREVALO_EXAMPLES_DIR "/trevalo-profile.reg"})) << m_err;
    ConnectionProfile profile("My ISP");
    ASSERT_TRUE(profile.Load());
    EXPECT_EQ("myisp", profile.DUNPhonebookEntry);
    EXPECT_EQ("/home/ann/ppp/chat-myisp", profile.ScriptPath);
    EXPECT_EQ("pppd call myisp updetach", profile.LoginAppPath);
    EXPECT_EQ("A1", profile.TokenSerialNumber);
    EXPECT_EQ(0, profile.UpdatePASSCODEDuration);
    EXPECT_EQ("ann", profile.UserLogin);
    EXPECT_TRUE(profile.UserLoginRequired);
    CAppSettings settings;
    settings.Load();
    EXPECT_FALSE(settings.m_bAutoExit);
    EXPECT_EQ("My ISP", settings.m_strDefaultProfile);
    EXPECT_EQ("pppd call myisp updetach", settings.m_strNewProfileLoginApp);
    EXPECT_EQ("/home/ann/ppp/chat-myisp", settings.m_strNewProfileScript);
}
