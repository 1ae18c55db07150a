#include "ProfileEditorFixture.h"

#include <editor/BrowseFileDialog.h>
#include <framework/HtmlHelp.h>
#include <res/resource.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

namespace {

// Answers browse dialogs with the queued paths (an empty one cancels) and keeps what they showed.
class BrowseRecorder {
public:
    struct Shown {
        std::string title;
        std::string directory;
        std::string file;
        std::string filter;
        std::string acceptLabel;
    };

    BrowseRecorder()
    {
        m_previous = SetFileDialogRunner([this](CFileDialog& dialog) {
            const auto* qt = qobject_cast<QFileDialog*>(dialog.GetSafeHwnd());
            shown.push_back({qt->windowTitle().toStdString(), dialog.m_ofn.lpstrInitialDir, dialog.m_ofn.lpstrFile,
                             qt->selectedNameFilter().toStdString(), qt->labelText(QFileDialog::Accept).toStdString()});
            const std::string answer = answers.empty() ? std::string() : answers.front();
            if (!answers.empty())
                answers.erase(answers.begin());
            return answer;
        });
    }
    ~BrowseRecorder() { SetFileDialogRunner(std::move(m_previous)); }

    std::vector<std::string> answers;
    std::vector<Shown> shown;

private:
    FileDialogRunner m_previous;
};

std::pair<std::string, std::string> StartOf(const std::string& path)
{
    const CBrowseFileDialog dialog("Title", path, "All Files (*.*)|*.*||", 1, nullptr);
    return {dialog.m_ofn.lpstrInitialDir, dialog.m_ofn.lpstrFile};
}

using Start = std::pair<std::string, std::string>;

} // namespace

TEST_F(ProfileEditorTest, ANewProfileOpensEmptyWithTheUserIdBoxCheckedAndApplyEnabled)
{
    Prepare(nullptr);
    Run([&] {
        CProfilePropertyPage1& general = sheet->m_pageGeneral;
        EXPECT_EQ("New Connection Profile", sheet->GetWindowText());
        EXPECT_EQ("", Edit(general, IDC_GENERAL_PROFILE_NAME)->text().toStdString());
        EXPECT_EQ(-1, general.m_cboPhonebookEntry.GetCurSel());
        EXPECT_EQ(2, general.m_cboPhonebookEntry.GetCount());
        EXPECT_EQ(-1, general.m_cboToken.GetCurSel());
        EXPECT_EQ(2, general.m_cboToken.GetCount());
        EXPECT_TRUE(qobject_cast<QCheckBox*>(general.GetControl(IDC_GENERAL_USER_ID_CHECK))->isChecked());
        EXPECT_TRUE(general.m_editUserId.IsWindowEnabled());
        EXPECT_EQ(48, Edit(general, IDC_GENERAL_USER_ID)->maxLength());
        EXPECT_TRUE(Button(ID_APPLY_NOW)->isEnabled());
        EXPECT_TRUE(sheet->m_bModified);
    });
}

TEST_F(ProfileEditorTest, AnEditedProfileShowsItsValuesWithThePhonebookEntryMatchedByPrefix)
{
    ConnectionProfile& work = AddProfile("Work", "work", "000999888777");
    work.UserLoginRequired = false;
    AddProfile("Elsewhere", "Nowhere");
    Prepare(&work);
    Run([&] {
        CProfilePropertyPage1& general = sheet->m_pageGeneral;
        EXPECT_EQ("Work", Edit(general, IDC_GENERAL_PROFILE_NAME)->text().toStdString());
        EXPECT_EQ("Work VPN", general.m_cboPhonebookEntry.GetWindowText());
        EXPECT_EQ("000999888777 - bob", general.m_cboToken.GetWindowText());
        EXPECT_FALSE(general.m_editUserId.IsWindowEnabled());
        EXPECT_EQ("ann", Edit(general, IDC_GENERAL_USER_ID)->text().toStdString());
        sheet->SetActivePage(1);
        EXPECT_EQ(app, Edit(sheet->m_pageAdvanced, IDC_ADVANCED_LOGIN_APP)->text().toStdString());
        EXPECT_EQ(script, Edit(sheet->m_pageAdvanced, IDC_ADVANCED_SCRIPT_FILE)->text().toStdString());
    });
    Prepare(list->FindByName("Elsewhere"));
    Run([&] { EXPECT_EQ(-1, sheet->m_pageGeneral.m_cboPhonebookEntry.GetCurSel()); });
}

TEST_F(ProfileEditorTest, EveryChangeOnEitherPageEnablesApplyAgain)
{
    ConnectionProfile& work = AddProfile("Work");
    Prepare(&work);
    Run([&] {
        CProfilePropertyPage1& general = sheet->m_pageGeneral;
        CProfilePropertyPage2& advanced = sheet->m_pageAdvanced;
        const std::vector<std::pair<const char*, std::function<void()>>> changes = {
            {"name", [&] { Type(general, IDC_GENERAL_PROFILE_NAME, "Work2"); }},
            {"phonebook entry", [&] { Choose(general, IDC_GENERAL_PHONEBOOK_ENTRY, "Work VPN"); }},
            {"token", [&] { Choose(general, IDC_GENERAL_TOKEN, kFirstToken); }},
            {"check box", [&] { qobject_cast<QCheckBox*>(general.GetControl(IDC_GENERAL_USER_ID_CHECK))->click(); }},
            {"user ID", [&] { Type(general, IDC_GENERAL_USER_ID, "carl"); }},
            {"login application", [&] { Type(advanced, IDC_ADVANCED_LOGIN_APP, app + " --now"); }},
            {"script", [&] { Type(advanced, IDC_ADVANCED_SCRIPT_FILE, dir.File("*")); }},
        };
        for (const auto& [what, change] : changes) {
            SCOPED_TRACE(what);
            Click(ID_APPLY_NOW);
            ASSERT_FALSE(Button(ID_APPLY_NOW)->isEnabled());
            ASSERT_FALSE(sheet->m_bModified);
            change();
            EXPECT_TRUE(Button(ID_APPLY_NOW)->isEnabled());
            EXPECT_TRUE(sheet->m_bModified);
        }
    });
    EXPECT_EQ(Texts{}, boxes.Texts());
}

TEST(BrowseFileDialog, StartsInTheDirectoryOfThePathWithItsLastComponentAsName)
{
    EXPECT_EQ(Start("/opt/dialer", "dial"), StartOf("/opt/dialer/dial"));
    EXPECT_EQ(Start("/", "dial"), StartOf("/dial"));
    EXPECT_EQ(Start("", ""), StartOf("dial"));
    EXPECT_EQ(Start("", ""), StartOf(""));
    EXPECT_EQ(Start("/opt/scripts", ""), StartOf("/opt/scripts/"));
}

TEST_F(ProfileEditorTest, BrowsingOffersTheFiltersAndTakesTheChosenPath)
{
    ConnectionProfile& work = AddProfile("Work");
    Prepare(&work);
    BrowseRecorder browse;
    const std::string chosenApp = dir.File("other-dialer");
    const std::string chosenScript = dir.File("other.scp");
    browse.answers = {chosenApp, chosenScript};
    Run([&] {
        CProfilePropertyPage2& advanced = sheet->m_pageAdvanced;
        Click(ID_APPLY_NOW);
        Type(advanced, IDC_ADVANCED_SCRIPT_FILE, "typed meanwhile");
        qobject_cast<QPushButton*>(advanced.GetControl(IDC_ADVANCED_BROWSE_LOGIN_APP))->click();
        EXPECT_EQ(chosenApp, Edit(advanced, IDC_ADVANCED_LOGIN_APP)->text().toStdString());
        EXPECT_EQ("typed meanwhile", Edit(advanced, IDC_ADVANCED_SCRIPT_FILE)->text().toStdString());
        qobject_cast<QPushButton*>(advanced.GetControl(IDC_ADVANCED_BROWSE_SCRIPT_FILE))->click();
        EXPECT_EQ(chosenScript, advanced.m_strScriptFile);
    });
    ASSERT_EQ(2u, browse.shown.size());
    const BrowseRecorder::Shown& appDialog = browse.shown[0];
    EXPECT_EQ("Browse for Login Application", appDialog.title);
    EXPECT_EQ(dir.Path(), appDialog.directory);
    EXPECT_EQ("dial", appDialog.file);
    EXPECT_EQ("Executable Files (*.exe)", appDialog.filter);
    EXPECT_EQ("&Select", appDialog.acceptLabel);
    const BrowseRecorder::Shown& scriptDialog = browse.shown[1];
    EXPECT_EQ("Browse for Script File", scriptDialog.title);
    // The first browse took the typed text into the page's fields; it has no directory part.
    EXPECT_EQ("", scriptDialog.directory);
    EXPECT_EQ("All Files (*.*)", scriptDialog.filter);
    EXPECT_EQ("&Select", scriptDialog.acceptLabel);
}

TEST_F(ProfileEditorTest, ACancelledBrowseChangesNothingAndTypedTextDoesNotSeedTheNextOne)
{
    ConnectionProfile& work = AddProfile("Work");
    Prepare(&work);
    BrowseRecorder browse;
    Run([&] {
        CProfilePropertyPage2& advanced = sheet->m_pageAdvanced;
        sheet->SetActivePage(&advanced);
        Click(ID_APPLY_NOW);
        auto* button = qobject_cast<QPushButton*>(advanced.GetControl(IDC_ADVANCED_BROWSE_LOGIN_APP));
        button->click();
        EXPECT_FALSE(Button(ID_APPLY_NOW)->isEnabled());
        EXPECT_FALSE(sheet->m_bModified);
        Edit(advanced, IDC_ADVANCED_LOGIN_APP)->setText("/elsewhere/typed");
        button->click();
        EXPECT_EQ("/elsewhere/typed", Edit(advanced, IDC_ADVANCED_LOGIN_APP)->text().toStdString());
    });
    ASSERT_EQ(2u, browse.shown.size());
    EXPECT_EQ(dir.Path(), browse.shown[0].directory);
    EXPECT_EQ(dir.Path(), browse.shown[1].directory);
}

TEST_F(ProfileEditorTest, HelpOnEitherPageOpensTheProfileTopic)
{
    std::vector<std::string> topics;
    const HtmlHelpRunner previous = SetHtmlHelpRunner([&](const HtmlHelpRequest& request) -> QWidget* {
        topics.push_back(request.location + (request.command == HH_DISPLAY_TOPIC ? "" : " (other command)"));
        return nullptr;
    });
    ConnectionProfile& work = AddProfile("Work");
    Prepare(&work);
    Run([&] {
        Click(IDHELP);
        sheet->SetActivePage(1);
        Click(IDHELP);
    });
    SetHtmlHelpRunner(previous);
    EXPECT_EQ((std::vector<std::string>(2, std::string(kHelpProfileTopic))), topics);
}
