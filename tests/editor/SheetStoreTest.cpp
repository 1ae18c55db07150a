#include "ProfileEditorFixture.h"

#include <res/resource.h>

#include <profiles/RegistryKey.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>

namespace {

ConnectionProfile Stored(const std::string& name)
{
    ConnectionProfile profile(name);
    EXPECT_TRUE(profile.Load()) << name;
    return profile;
}

// Changes a value in the hive behind the sheet's back.
void StoreUserLogin(const std::string& name, const std::string& userLogin)
{
    ConnectionProfile profile = Stored(name);
    profile.UserLogin = userLogin;
    ASSERT_TRUE(profile.Save());
}

} // namespace

TEST_F(ProfileEditorTest, AValidNewProfileIsSavedAppendedAndStaysTheSheetsRecord)
{
    AddProfile("Work");
    Prepare(nullptr);
    ConnectionProfile* record = newRecord.get();
    EXPECT_EQ(IDOK, Run([&] {
        FillValidNewProfile();
        Click(IDOK);
    }));
    EXPECT_EQ(Texts{}, boxes.Texts());
    EXPECT_EQ((Texts{"Work", "Home"}), ListNames());
    EXPECT_EQ(record, sheet->m_pProfile);
    EXPECT_EQ(record, list->FindByName("Home"));
    EXPECT_FALSE(sheet->m_bNewProfile);
    const ConnectionProfile stored = Stored("Home");
    EXPECT_EQ("isp", stored.DUNPhonebookEntry);
    EXPECT_EQ(kFirstSerial, stored.TokenSerialNumber);
    EXPECT_EQ("ann", stored.UserLogin);
    EXPECT_TRUE(stored.UserLoginRequired);
    EXPECT_EQ(app, stored.LoginAppPath);
    EXPECT_EQ(script, stored.ScriptPath);
    EXPECT_EQ(0, stored.UpdatePASSCODEDuration);
}

TEST_F(ProfileEditorTest, YesToTheQuestionStoresNoTokenAndAClearedUserIdBoxKeepsItsText)
{
    Prepare(nullptr);
    boxes.QueueAnswer(IDYES);
    EXPECT_EQ(IDOK, Run([&] {
        FillValidNewProfile();
        sheet->m_pageGeneral.m_cboToken.SetCurSel(-1);
        Click(IDOK);
    }));
    EXPECT_EQ("", Stored("Home").TokenSerialNumber);

    Prepare(list->FindByName("Home"));
    boxes.QueueAnswer(IDYES); // still no token
    EXPECT_EQ(IDOK, Run([&] {
        CProfilePropertyPage1& general = sheet->m_pageGeneral;
        Type(general, IDC_GENERAL_USER_ID, "");
        qobject_cast<QAbstractButton*>(general.GetControl(IDC_GENERAL_USER_ID_CHECK))->click();
        EXPECT_FALSE(general.m_editUserId.IsWindowEnabled());
        Type(general, IDC_GENERAL_USER_ID, "kept");
        Click(IDOK);
    }));
    const ConnectionProfile stored = Stored("Home");
    EXPECT_FALSE(stored.UserLoginRequired);
    EXPECT_EQ("kept", stored.UserLogin);
}

TEST_F(ProfileEditorTest, CancelStoresNothingButWhatApplySavedStays)
{
    Prepare(nullptr);
    EXPECT_EQ(IDCANCEL, Run([&] {
        FillValidNewProfile();
        Click(IDCANCEL);
    }));
    EXPECT_EQ(Texts{}, ListNames());
    EXPECT_FALSE(KeyExists("Home"));

    Prepare(nullptr);
    ConnectionProfile* record = newRecord.get();
    EXPECT_EQ(IDCANCEL, Run([&] {
        FillValidNewProfile();
        Click(ID_APPLY_NOW);
        EXPECT_FALSE(Button(ID_APPLY_NOW)->isEnabled());
        Click(IDCANCEL);
    }));
    EXPECT_EQ((Texts{"Home"}), ListNames());
    EXPECT_EQ(record, sheet->m_pProfile);
    EXPECT_TRUE(KeyExists("Home"));
}

TEST_F(ProfileEditorTest, OkAtOnceOnAnEditedProfileSavesItAgain)
{
    ConnectionProfile& work = AddProfile("Work");
    StoreUserLogin("Work", "changed elsewhere");
    Prepare(&work);
    EXPECT_EQ(IDOK, Run([&] {
        EXPECT_TRUE(Button(ID_APPLY_NOW)->isEnabled());
        Click(IDOK);
    }));
    EXPECT_EQ(Texts{}, boxes.Texts());
    EXPECT_EQ("ann", Stored("Work").UserLogin);
}

TEST_F(ProfileEditorTest, AfterApplyWithoutChangeOkSavesNothingAgain)
{
    ConnectionProfile& work = AddProfile("Work");
    Prepare(&work);
    EXPECT_EQ(IDOK, Run([&] {
        Click(ID_APPLY_NOW);
        StoreUserLogin("Work", "changed elsewhere");
        sheet->m_pageGeneral.m_cboToken.SetCurSel(-1); // no question either: nothing is checked
        Click(IDOK);
    }));
    EXPECT_EQ(Texts{}, boxes.Texts());
    EXPECT_EQ("changed elsewhere", Stored("Work").UserLogin);
}

TEST_F(ProfileEditorTest, TheNameOfAnotherProfileIsRefusedInAnyCase)
{
    ConnectionProfile& work = AddProfile("Work");
    AddProfile("Home", "Work VPN");
    Prepare(&work);
    Run([&] {
        Type(sheet->m_pageGeneral, IDC_GENERAL_PROFILE_NAME, "HOME");
        Type(sheet->m_pageGeneral, IDC_GENERAL_USER_ID, "bob");
        Click(IDOK);
    });
    EXPECT_EQ((Texts{"The profile name specified is already in use."}), boxes.Texts());
    EXPECT_EQ((Texts{"Work", "Home"}), ListNames());
    EXPECT_EQ("ann", Stored("Work").UserLogin);
    EXPECT_EQ("Work VPN", Stored("Home").DUNPhonebookEntry);
}

TEST_F(ProfileEditorTest, ALetterCaseChangeAloneKeepsTheNameAndStoresTheRest)
{
    ConnectionProfile& work = AddProfile("Work");
    Prepare(&work);
    EXPECT_EQ(IDOK, Run([&] {
        Type(sheet->m_pageGeneral, IDC_GENERAL_PROFILE_NAME, "WORK");
        Type(sheet->m_pageGeneral, IDC_GENERAL_USER_ID, "bob");
        Click(IDOK);
    }));
    EXPECT_EQ(&work, sheet->m_pProfile);
    EXPECT_EQ((Texts{"Work"}), ListNames());
    EXPECT_EQ("bob", Stored("Work").UserLogin);
    std::vector<std::string> keys;
    CRegistryKey profiles(IDS_REG_PROFILES_KEY);
    profiles.EnumSubkeys(keys);
    EXPECT_EQ((Texts{"Work"}), keys);
}

TEST_F(ProfileEditorTest, ANewNameReplacesTheRecordAndTheKeyAndKeepsTheDuration)
{
    ConnectionProfile& work = AddProfile("Work");
    work.UpdatePASSCODEDuration = 7;
    ASSERT_TRUE(work.Save());
    AddProfile("Home");
    Prepare(&work);
    EXPECT_EQ(IDOK, Run([&] {
        Type(sheet->m_pageGeneral, IDC_GENERAL_PROFILE_NAME, "Office");
        Choose(sheet->m_pageGeneral, IDC_GENERAL_PHONEBOOK_ENTRY, "Work VPN");
        Click(IDOK);
    }));
    EXPECT_EQ((Texts{"Home", "Office"}), ListNames());
    EXPECT_EQ(list->FindByName("Office"), sheet->m_pProfile);
    EXPECT_FALSE(KeyExists("Work"));
    const ConnectionProfile office = Stored("Office");
    EXPECT_EQ("Work VPN", office.DUNPhonebookEntry);
    EXPECT_EQ(7, office.UpdatePASSCODEDuration);
    EXPECT_EQ(kFirstSerial, office.TokenSerialNumber);
}

TEST_F(ProfileEditorTest, ARenameThatCannotBeSavedLeavesTheOldProfile)
{
    ConnectionProfile& work = AddProfile("Work");
    Prepare(&work);
    Run([&] {
        // Longer than a registry key name may be.
        Type(sheet->m_pageGeneral, IDC_GENERAL_PROFILE_NAME, std::string(300, 'x'));
        Click(IDOK);
    });
    EXPECT_EQ((Texts{"Failed to save the profile in the registry."}), boxes.Texts());
    EXPECT_EQ(&work, sheet->m_pProfile);
    EXPECT_EQ((Texts{"Work"}), ListNames());
    EXPECT_TRUE(KeyExists("Work"));
}

TEST_F(ProfileEditorTest, ANewProfileAppliedOnceIsRenamedByTheNextApply)
{
    Prepare(nullptr);
    EXPECT_EQ(IDOK, Run([&] {
        FillValidNewProfile();
        Click(ID_APPLY_NOW);
        Type(sheet->m_pageGeneral, IDC_GENERAL_PROFILE_NAME, "Cabin");
        Click(IDOK);
    }));
    EXPECT_EQ((Texts{"Cabin"}), ListNames());
    EXPECT_FALSE(KeyExists("Home"));
    EXPECT_TRUE(KeyExists("Cabin"));
}
