#include "ProfileEditorFixture.h"

#include <res/resource.h>

#include <sys/stat.h>

namespace {

const std::string k135 = "The profile name must be filled in.";
const std::string k136 = "If the User ID option is checked, the User ID must be filled in.";
const std::string k137 = "The profile name specified is already in use.";
const std::string k138 = "The login application must be filled in.";
const std::string k139 = "The script file name must be filled in.";
const std::string k140 = "You must select the phonebook entry to dial.";
const std::string k141 = "No token will be associated with this profile.\nEach time the profile is used, you will need to "
                         "select a token from the list.\nWould you like to save the profile like this?";
const std::string k156 = "The login application specified was not found.";
const std::string k157 = "The script file specified was not found.";

constexpr int kGeneral = 0;
constexpr int kAdvanced = 1;
constexpr int kAnyControl = -2;

} // namespace

// Each row fills a valid new profile, spoils it and presses OK once. The paths come from the
// new record, so the Advanced page is never opened by the user.
TEST_F(ProfileEditorTest, EachCheckRefusesInOrderWithItsMessagePageAndFocus)
{
    AddProfile("Work");
    struct Row {
        const char* what;
        std::function<void()> spoil;
        Texts messages;
        int page;
        int control;
    };
    const auto general = [this]() -> CProfilePropertyPage1& { return sheet->m_pageGeneral; };
    const std::string missing = dir.File("missing");
    const Row rows[] = {
        {"nothing filled", [] {}, {k135}, kGeneral, IDC_GENERAL_PROFILE_NAME},
        {"no name", [&] { Type(general(), IDC_GENERAL_PROFILE_NAME, ""); }, {k135}, kGeneral,
         IDC_GENERAL_PROFILE_NAME},
        {"no phonebook entry", [&] { general().m_cboPhonebookEntry.SetCurSel(-1); }, {k140},
         kGeneral, IDC_GENERAL_PHONEBOOK_ENTRY},
        {"no token, No", [&] { general().m_cboToken.SetCurSel(-1); }, {k141}, kGeneral,
         IDC_GENERAL_TOKEN},
        {"no token, Yes, no user ID",
         [&] {
             general().m_cboToken.SetCurSel(-1);
             boxes.QueueAnswer(IDYES);
             Type(general(), IDC_GENERAL_USER_ID, "");
         },
         {k141, k136}, kGeneral, IDC_GENERAL_USER_ID},
        {"no user ID", [&] { Type(general(), IDC_GENERAL_USER_ID, ""); }, {k136}, kGeneral,
         IDC_GENERAL_USER_ID},
        {"no login application", [&] { newRecord->LoginAppPath.clear(); }, {k138}, kAdvanced,
         IDC_ADVANCED_LOGIN_APP},
        {"missing login application", [&] { newRecord->LoginAppPath = missing; }, {k156},
         kAdvanced, IDC_ADVANCED_LOGIN_APP},
        {"no script", [&] { newRecord->ScriptPath.clear(); }, {k139}, kAdvanced,
         IDC_ADVANCED_SCRIPT_FILE},
        {"missing script", [&] { newRecord->ScriptPath = missing; }, {k157}, kAdvanced,
         IDC_ADVANCED_SCRIPT_FILE},
        {"relative script path", [&] { newRecord->ScriptPath = "login.scp"; },
         {"The script file path login.scp is not a full path.\nEnter the whole path of the script, starting with /."},
         kAdvanced, IDC_ADVANCED_SCRIPT_FILE},
        {"name in use and missing script: the name comes last",
         [&] {
             Type(general(), IDC_GENERAL_PROFILE_NAME, "WORK");
             newRecord->ScriptPath = missing;
         },
         {k157}, kAdvanced, IDC_ADVANCED_SCRIPT_FILE},
        {"name with a backslash, which would make a nested key",
         [&] { Type(general(), IDC_GENERAL_PROFILE_NAME, "Work\\Home"); },
         {"The profile name cannot contain a backslash (\\)."}, kGeneral, IDC_GENERAL_PROFILE_NAME},
        {"name in use in other letter case", [&] { Type(general(), IDC_GENERAL_PROFILE_NAME, "wOrK"); },
         {k137}, kGeneral, kAnyControl},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Prepare(nullptr);
        const std::size_t before = boxes.Boxes().size();
        int page = -1;
        int control = -1;
        const bool spoilsFilled = std::string(row.what) != "nothing filled";
        Run([&] {
            if (spoilsFilled)
                FillValidNewProfile();
            row.spoil();
            Click(IDOK);
            page = sheet->GetActiveIndex();
            control = FocusedControl();
            EXPECT_TRUE(sheet->GetSafeHwnd()->isVisible());
        });
        const Texts all = boxes.Texts();
        EXPECT_EQ(row.messages, Texts(all.begin() + static_cast<long>(before), all.end()));
        EXPECT_EQ(row.page, page);
        if (row.control != kAnyControl) {
            EXPECT_EQ(row.control, control);
        }
        EXPECT_EQ((Texts{"Work"}), ListNames());
        EXPECT_TRUE(sheet->m_bNewProfile);
        EXPECT_TRUE(sheet->m_bModified);
    }
    EXPECT_FALSE(KeyExists("Home"));
}

TEST_F(ProfileEditorTest, TheQuestionIsAskedWithYesAndNo)
{
    Prepare(nullptr);
    Run([&] {
        FillValidNewProfile();
        sheet->m_pageGeneral.m_cboToken.SetCurSel(-1);
        Click(IDOK);
    });
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(unsigned{MB_YESNO | MB_ICONQUESTION}, boxes.Boxes()[0].type);
}

TEST_F(ProfileEditorTest, AScriptMatchingAWildcardIsFound)
{
    Prepare(nullptr);
    newRecord->ScriptPath = dir.File("*.scp");
    EXPECT_EQ(IDOK, Run([&] {
        FillValidNewProfile();
        Click(IDOK);
    }));
    EXPECT_EQ(Texts{}, boxes.Texts());
    EXPECT_TRUE(KeyExists("Home"));

    Prepare(nullptr);
    newRecord->ScriptPath = dir.File("*.was");
    Run([&] {
        FillValidNewProfile("Other");
        Click(IDOK);
    });
    EXPECT_EQ((Texts{k157}), boxes.Texts());
}

// The run starts the first word of the login application's command line: a path, or a bare name
// looked up on PATH and then in /usr/local/sbin, /usr/sbin and /sbin. PATH here lacks /usr/sbin,
// as a user's login PATH does; pppd comes from Debian's ppp package.
TEST_F(ProfileEditorTest, TheLoginApplicationsProgramIsFoundAsTheRunWouldStartIt)
{
    const std::string spaced = dir.File("my dialer");
    WriteFile(spaced, "#!/bin/sh\n");
    ::chmod(spaced.c_str(), 0755);
    const ScopedPath path(dir.Path());
    const struct {
        std::string commandLine;
        bool saved;
    } rows[] = {
        {"pppd call myisp updetach", true},
        {"/usr/sbin/pppd call myisp updetach", true},
        {"\"" + spaced + "\" --now", true},
        {"no-such-dialer call myisp", false},
        {dir.File("missing") + " call myisp", false},
        {script, false},     // not executable
        {dir.Path(), false}, // a directory
        {"\"" + app, false}, // an unclosed quote
    };
    int number = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.commandLine);
        const std::string name = "Home " + std::to_string(++number);
        Prepare(nullptr);
        newRecord->LoginAppPath = row.commandLine;
        const std::size_t before = boxes.Boxes().size();
        Run([&] {
            FillValidNewProfile(name);
            Click(IDOK);
        });
        const Texts all = boxes.Texts();
        EXPECT_EQ(row.saved ? Texts{} : Texts{k156}, Texts(all.begin() + static_cast<long>(before), all.end()));
        EXPECT_EQ(row.saved, KeyExists(name));
    }
}

// The store reads at most 199 bytes of text back: a longer value would be saved and then stop
// the loading of every profile at the next start.
TEST_F(ProfileEditorTest, APathTooLongToLoadAgainIsRefusedNamingTheField)
{
    const std::string prefix = dir.Path() + "/";
    const std::string longest = prefix + std::string(199 - prefix.size(), 'a');
    const std::string tooLong = prefix + std::string(200 - prefix.size(), 'b');
    WriteFile(longest, "");
    WriteFile(tooLong, "");
    // Both are login applications too, which have to be executable.
    ::chmod(longest.c_str(), 0755);
    ::chmod(tooLong.c_str(), 0755);
    Prepare(nullptr);
    newRecord->LoginAppPath = tooLong;
    int page = -1;
    int control = -1;
    Run([&] {
        FillValidNewProfile();
        Click(IDOK);
        page = sheet->GetActiveIndex();
        control = FocusedControl();
    });
    EXPECT_EQ((Texts{"The login application path is too long to be stored: it may have at most 199 characters."}),
              boxes.Texts());
    EXPECT_EQ(kAdvanced, page);
    EXPECT_EQ(IDC_ADVANCED_LOGIN_APP, control);
    EXPECT_FALSE(KeyExists("Home"));

    Prepare(nullptr);
    newRecord->ScriptPath = tooLong;
    Run([&] {
        FillValidNewProfile();
        Click(IDOK);
    });
    EXPECT_EQ("The script file path is too long to be stored: it may have at most 199 characters.", boxes.Texts().back());

    Prepare(nullptr);
    newRecord->LoginAppPath = longest;
    newRecord->ScriptPath = longest;
    EXPECT_EQ(IDOK, Run([&] {
        FillValidNewProfile();
        Click(IDOK);
    }));
    CProfileList reloaded;
    EXPECT_TRUE(reloaded.LoadAll());
    ASSERT_NE(nullptr, reloaded.FindByName("Home"));
    EXPECT_EQ(longest, reloaded.FindByName("Home")->LoginAppPath);
}
