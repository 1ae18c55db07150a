#include "LoginWindowFixture.h"

#include <profiles/RegistryKey.h>
#include <res/resource.h>

#include <QLineEdit>
#include <QPushButton>

TEST_F(LoginWindowTest, AFailedTokenServiceIsReportedWithBothErrorTexts)
{
    tokens.openSucceeds = false;
    tokens.errorFirst = "No database";
    tokens.errorSecond = "Cannot read tokens.db";
    Open();
    EXPECT_EQ((Texts{"Failed to open token service.:No database:Cannot read tokens.db", kNoProfiles}), boxes->Texts());
    EXPECT_EQ(MB_OK | MB_ICONEXCLAMATION, boxes->Boxes()[0].type);
    EXPECT_FALSE(dialog->m_bTokenServiceOpen);
    EXPECT_EQ(0, dialog->m_comboToken.GetCount());
}

TEST_F(LoginWindowTest, AnEmptySecondErrorTextLeavesNoTrailingColon)
{
    tokens.openSucceeds = false;
    tokens.errorFirst = "No database";
    Open();
    EXPECT_EQ("Failed to open token service.:No database", boxes->Texts().at(0));
}

TEST_F(LoginWindowTest, NoTokensIsSaidAndTheBoxStaysEmpty)
{
    AddPeer("isp");
    AddProfile("Work");
    Open();
    EXPECT_EQ((Texts{"No tokens found in the database."}), boxes->Texts());
    EXPECT_EQ(0, dialog->m_comboToken.GetCount());
    EXPECT_FALSE(Control(IDOK)->isEnabled());
}

TEST_F(LoginWindowTest, AFailedEnumerationShowsTheSecondErrorText)
{
    tokens.tokens = {{"000111", "ann"}};
    tokens.enumWithBufferSucceeds = false;
    tokens.errorSecond = "The token database is locked.";
    AddPeer("isp");
    AddProfile("Work");
    Open();
    EXPECT_EQ((Texts{"The token database is locked."}), boxes->Texts());
    EXPECT_EQ(0, dialog->m_comboToken.GetCount());
}

TEST_F(LoginWindowTest, WithoutProfilesOnlyTheProfileButtonIsUsable)
{
    tokens.tokens = {{"000111", "ann"}};
    Open();
    EXPECT_EQ((Texts{kNoProfiles}), boxes->Texts());
    for (int id : {IDC_PROFILE_COMBO, IDC_TOKEN_COMBO, IDC_USER_ID, IDC_PIN, IDOK})
        EXPECT_FALSE(Control(id)->isEnabled()) << id;
    EXPECT_TRUE(Control(IDC_PROFILE_BUTTON)->isEnabled());
    EXPECT_FALSE(Control(IDC_USER_ID)->isHidden());
    EXPECT_FALSE(Control(IDC_USER_ID_LABEL)->isHidden());
    EXPECT_EQ(IDC_PROFILE_BUTTON, dialog->GetDefID());
    EXPECT_TRUE(dialog->m_btnProfile.HasFocus());
    EXPECT_EQ(1, tokens.openCalls);
}

TEST_F(LoginWindowTest, ProfilesThatFailToLoadAreReported)
{
    tokens.tokens = {{"000111", "ann"}};
    AddPeer("isp");
    AddProfile("Work");
    // A profile key without its values does not load, and it comes first.
    CRegistryKey empty(IDS_REG_PROFILES_KEY, "Aaa");
    ASSERT_TRUE(empty.IsOpen());
    Open();
    EXPECT_EQ((Texts{"Failed reading profile information from the registry.", kNoProfiles}), boxes->Texts());
    EXPECT_EQ(nullptr, dialog->m_pCurrentProfile);
}

TEST_F(LoginWindowTest, AMissingPhonebookEntryAndTokenAreBothReported)
{
    tokens.tokens = {{"000111", "ann"}};
    AddPeer("other");
    AddProfile("Work", "isp", "999999");
    SetDefaultProfile("Work");
    Open();
    EXPECT_EQ((Texts{"The Windows Dial-Up Networking entry \"isp\" for Trevalo profile \"Work\" was not found.\n"
                     "Edit the profile and select a valid Window Dial-Up Networking entry.",
                     "Token serial number \"999999\" for Trevalo profile \"Work\" was not found."}),
              boxes->Texts());
    EXPECT_FALSE(dialog->m_bProfileUsable);
    EXPECT_EQ(-1, dialog->m_comboToken.GetCurSel());
    EXPECT_FALSE(Control(IDOK)->isEnabled());
}

TEST_F(LoginWindowTest, AUsableProfileWithItsTokenEnablesConnect)
{
    tokens.tokens = {{"000222", "bob"}, {"000111", "ann"}};
    AddPeer("isp");
    AddProfile("Work", "isp", "000111", "ann.user", true);
    SetDefaultProfile("Work");
    Open();
    EXPECT_TRUE(boxes->Texts().empty());
    EXPECT_TRUE(dialog->m_bProfileUsable);
    EXPECT_EQ("000111 - ann", dialog->m_comboToken.GetWindowText());
    EXPECT_TRUE(Control(IDOK)->isEnabled());
    EXPECT_EQ(IDOK, dialog->GetDefID());
    EXPECT_EQ("ann.user", Edit(IDC_USER_ID)->text().toStdString());
    EXPECT_FALSE(Control(IDC_USER_ID)->isHidden());
    EXPECT_EQ("Talvex Kelvane Trevalo", dialog->GetWindowText());
}

TEST_F(LoginWindowTest, TheUserIdIsHiddenWhenTheProfileNeedsNone)
{
    tokens.tokens = {{"000111", "ann"}};
    AddPeer("isp");
    AddProfile("Work", "isp", "000111");
    SetDefaultProfile("Work");
    Open();
    EXPECT_TRUE(Control(IDC_USER_ID)->isHidden());
    EXPECT_TRUE(Control(IDC_USER_ID_LABEL)->isHidden());
}

TEST_F(LoginWindowTest, ConnectWaitsForATokenToBeChosen)
{
    tokens.tokens = {{"000111", "ann"}};
    AddPeer("isp");
    AddProfile("Work");
    SetDefaultProfile("Work");
    Open();
    EXPECT_TRUE(dialog->m_bProfileUsable);
    EXPECT_FALSE(Control(IDOK)->isEnabled());
    ChooseItem(IDC_TOKEN_COMBO, 0);
    EXPECT_TRUE(Control(IDOK)->isEnabled());
}

TEST_F(LoginWindowTest, ClosingTheServiceAtTheEnd)
{
    tokens.tokens = {{"000111", "ann"}};
    Open();
    dialog->DestroyWindow();
    dialog = nullptr;
    EXPECT_EQ(1, tokens.closeCalls);
}
