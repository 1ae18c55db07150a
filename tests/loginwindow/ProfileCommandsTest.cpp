#include "LoginWindowFixture.h"

#include <editor/ProfilePropertySheet.h>
#include <framework/StringTable.h>
#include <profiles/RegistryKey.h>
#include <res/resource.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

namespace {

const std::string kSerial = "000123456789";

class ProfileCommandsTest : public LoginWindowTest {
protected:
    ProfileCommandsTest()
    {
        tokens.tokens = {{kSerial, "ann"}};
        AddPeer("isp");
        WriteFile(dir.File("login.scp"), "transmit #$PASSCODE#$\n");
    }
    ~ProfileCommandsTest() override { SetModalRunner(std::move(m_previous)); }

    // Sends `command` to the login window; `act` works the sheet it opens, which is cancelled if
    // `act` leaves it open.
    void RunCommand(unsigned command, const std::function<void(CProfilePropertySheet&)>& act)
    {
        m_previous = SetModalRunner([act](CDialog& modal) {
            auto* sheet = dynamic_cast<CProfilePropertySheet*>(&modal);
            ASSERT_NE(nullptr, sheet);
            act(*sheet);
            if (modal.GetSafeHwnd()->isVisible())
                modal.EndDialog(IDCANCEL);
        });
        dialog->SendCommand(command);
    }

    static QLineEdit* EditOf(CPropertyPage& page, int id) { return qobject_cast<QLineEdit*>(page.GetControl(id)); }
    static void Press(CProfilePropertySheet& sheet, int id) { qobject_cast<QPushButton*>(sheet.GetControl(id))->click(); }
    static void Choose(CPropertyPage& page, int id, int index)
    {
        auto* combo = qobject_cast<QComboBox*>(page.GetControl(id));
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    static void FillNew(CProfilePropertySheet& sheet, const std::string& name)
    {
        CProfilePropertyPage1& general = sheet.m_pageGeneral;
        EditOf(general, IDC_GENERAL_PROFILE_NAME)->setText(QString::fromStdString(name));
        Choose(general, IDC_GENERAL_PHONEBOOK_ENTRY, 0);
        Choose(general, IDC_GENERAL_TOKEN, 0);
        EditOf(general, IDC_GENERAL_USER_ID)->setText("ann");
    }
    bool KeyExists(const std::string& name) const
    {
        std::string path;
        LoadString(IDS_REG_PROFILES_KEY, path);
        CRegistryKeyBase key(HKEY_LOCAL_MACHINE);
        return key.Open(HKEY_LOCAL_MACHINE, path + name);
    }
    static void SetNewProfileDefaults(const std::string& loginApp, const std::string& script)
    {
        CRegistryKey settings(IDS_REG_SETTINGS_KEY);
        ASSERT_TRUE(settings.WriteString(IDS_REG_NEW_PROFILE_LOGIN_APP_PATH, loginApp));
        ASSERT_TRUE(settings.WriteString(IDS_REG_NEW_PROFILE_SCRIPT_PATH, script));
    }
    std::size_t BoxCount() const { return boxes->Boxes().size(); }

private:
    ModalRunner m_previous;
};

} // namespace

TEST_F(ProfileCommandsTest, EditIsCaptionedWithTheNameAndARenamedProfileStaysCurrent)
{
    AddProfile("Work", "isp", kSerial);
    AddProfile("Home", "isp", kSerial);
    SetDefaultProfile("Work");
    Open();
    std::string caption;
    RunCommand(ID_PROFILE_EDIT, [&](CProfilePropertySheet& sheet) {
        caption = sheet.GetWindowText();
        EditOf(sheet.m_pageGeneral, IDC_GENERAL_PROFILE_NAME)->setText("Office");
        Press(sheet, IDOK);
    });
    EXPECT_EQ("Editing Profile \"Work\"", caption);
    ASSERT_NE(nullptr, dialog->m_pCurrentProfile);
    EXPECT_EQ("Office", dialog->m_pCurrentProfile->ProfileName);
    EXPECT_EQ((Texts{"Home", "Office"}), ProfileItems());
    EXPECT_EQ("Office", dialog->m_comboProfile.GetWindowText());
    EXPECT_EQ("Office", StoredDefaultProfile());
    EXPECT_FALSE(KeyExists("Work"));
}

TEST_F(ProfileCommandsTest, NewShowsTheDefaultPathsAndCancelLeavesTheFirstProfileCurrent)
{
    SetNewProfileDefaults("/opt/dialer/dial", "/opt/dialer/login.scp");
    AddProfile("Work", "isp", kSerial);
    AddProfile("Home", "isp", kSerial);
    SetDefaultProfile("Work");
    Open();
    std::string caption;
    std::string loginApp;
    std::string scriptFile;
    RunCommand(ID_PROFILE_NEW, [&](CProfilePropertySheet& sheet) {
        caption = sheet.GetWindowText();
        sheet.SetActivePage(&sheet.m_pageAdvanced);
        loginApp = EditOf(sheet.m_pageAdvanced, IDC_ADVANCED_LOGIN_APP)->text().toStdString();
        scriptFile = EditOf(sheet.m_pageAdvanced, IDC_ADVANCED_SCRIPT_FILE)->text().toStdString();
        FillNew(sheet, "Cabin");
        Press(sheet, IDCANCEL);
    });
    EXPECT_EQ("New Connection Profile", caption);
    EXPECT_EQ("/opt/dialer/dial", loginApp);
    EXPECT_EQ("/opt/dialer/login.scp", scriptFile);
    EXPECT_EQ((Texts{"Home", "Work"}), ProfileItems());
    EXPECT_EQ(2, dialog->m_pProfileList->GetCount());
    EXPECT_FALSE(KeyExists("Cabin"));
    ASSERT_NE(nullptr, dialog->m_pCurrentProfile);
    EXPECT_EQ("Home", dialog->m_pCurrentProfile->ProfileName);
    EXPECT_EQ("Work", StoredDefaultProfile()); // nothing is written
}

TEST_F(ProfileCommandsTest, AfterNewThenCancelTheWindowTakesTheStateOfTheFirstProfile)
{
    tokens.tokens.push_back({"000999", "bob"});
    AddProfile("Alpha", "gone", "000999");
    AddProfile("Work", "isp", kSerial);
    SetDefaultProfile("Work");
    Open();
    ASSERT_TRUE(Control(IDOK)->isEnabled());
    boxes.emplace();
    RunCommand(ID_PROFILE_NEW, [](CProfilePropertySheet& sheet) { Press(sheet, IDCANCEL); });
    EXPECT_EQ("Alpha", dialog->m_comboProfile.GetWindowText());
    ASSERT_EQ(1u, boxes->Texts().size()) << "the missing phonebook entry is said";
    EXPECT_NE(std::string::npos, boxes->Texts()[0].find("gone"));
    EXPECT_FALSE(Control(IDOK)->isEnabled());
    EXPECT_EQ("000999 - bob", dialog->m_comboToken.GetWindowText());
}

TEST_F(ProfileCommandsTest, NewAppliedThenCancelledIsKeptAndBecomesCurrent)
{
    SetNewProfileDefaults("/usr/bin/true", dir.File("login.scp"));
    AddProfile("Work", "isp", kSerial);
    Open();
    RunCommand(ID_PROFILE_NEW, [&](CProfilePropertySheet& sheet) {
        FillNew(sheet, "Cabin");
        Press(sheet, ID_APPLY_NOW);
        Press(sheet, IDCANCEL);
    });
    EXPECT_EQ(Texts{}, boxes->Texts());
    ASSERT_NE(nullptr, dialog->m_pCurrentProfile);
    EXPECT_EQ("Cabin", dialog->m_pCurrentProfile->ProfileName);
    EXPECT_EQ("Cabin", dialog->m_comboProfile.GetWindowText());
    EXPECT_EQ((Texts{"Cabin", "Work"}), ProfileItems());
    EXPECT_TRUE(KeyExists("Cabin"));
}

TEST_F(ProfileCommandsTest, DeleteAsksFirstAndNoChangesNothing)
{
    AddProfile("Work", "isp", kSerial);
    Open();
    const std::size_t before = BoxCount();
    dialog->SendCommand(ID_PROFILE_DELETE);
    ASSERT_EQ(before + 1, BoxCount());
    EXPECT_EQ("Are you sure you want to delete profile \"Work\"?", boxes->Boxes().back().text);
    EXPECT_EQ(unsigned{MB_YESNO | MB_ICONQUESTION}, boxes->Boxes().back().type);
    EXPECT_EQ((Texts{"Work"}), ProfileItems());
    EXPECT_TRUE(KeyExists("Work"));
    ASSERT_NE(nullptr, dialog->m_pCurrentProfile);
}

TEST_F(ProfileCommandsTest, DeleteWithYesRemovesKeyRecordAndItem)
{
    AddProfile("Work", "isp", kSerial);
    AddProfile("Home", "isp", kSerial);
    SetDefaultProfile("Work");
    Open();
    boxes->QueueAnswer(IDYES);
    dialog->SendCommand(ID_PROFILE_DELETE);
    EXPECT_FALSE(KeyExists("Work"));
    EXPECT_EQ(nullptr, dialog->m_pProfileList->FindByName("Work"));
    EXPECT_EQ((Texts{"Home"}), ProfileItems());
    ASSERT_NE(nullptr, dialog->m_pCurrentProfile);
    EXPECT_EQ("Home", dialog->m_pCurrentProfile->ProfileName);
}

TEST_F(ProfileCommandsTest, AKeyThatCannotBeDeletedIsReportedAndChangesNothing)
{
    AddProfile("Work", "isp", kSerial);
    Open();
    // The registry refuses to delete a key that has subkeys.
    std::string path;
    LoadString(IDS_REG_PROFILES_KEY, path);
    CRegistryKeyBase key(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(key.Create(HKEY_LOCAL_MACHINE, path + "Work\\Extra"));
    ConnectionProfile* work = dialog->m_pCurrentProfile;
    boxes->QueueAnswer(IDYES);
    dialog->SendCommand(ID_PROFILE_DELETE);
    EXPECT_EQ("Failed to delete the profile.", boxes->Texts().back());
    EXPECT_EQ(work, dialog->m_pCurrentProfile);
    EXPECT_EQ((Texts{"Work"}), ProfileItems());
    EXPECT_TRUE(KeyExists("Work"));
}
