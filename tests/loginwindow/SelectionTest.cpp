#include "LoginWindowFixture.h"

#include <res/resource.h>

#include <QLineEdit>
#include <QTest>

namespace {

class SelectionTest : public LoginWindowTest {
protected:
    SelectionTest()
    {
        tokens.tokens = {{"000111", "ann"}, {"000222", "bob"}};
        AddPeer("isp");
    }
};

} // namespace

TEST_F(SelectionTest, WithoutARememberedNameTheFirstProfileIsCurrentSilently)
{
    AddProfile("Beta", "missing-entry");
    AddProfile("Alpha", "missing-entry");
    Open();
    // No selection handling ran: no phonebook message, nothing remembered.
    EXPECT_TRUE(boxes->Texts().empty());
    ASSERT_NE(nullptr, dialog->m_pCurrentProfile);
    EXPECT_EQ("Alpha", dialog->m_pCurrentProfile->ProfileName);
    EXPECT_EQ("Alpha", dialog->m_comboProfile.GetWindowText());
    EXPECT_EQ("", StoredDefaultProfile());
    EXPECT_FALSE(dialog->m_bProfileUsable);
    EXPECT_FALSE(Control(IDOK)->isEnabled());
}

TEST_F(SelectionTest, TheRememberedNameSelectsByPrefixWithoutRegardToCase)
{
    AddProfile("Work");
    AddProfile("Work2");
    SetDefaultProfile("work");
    Open();
    ASSERT_NE(nullptr, dialog->m_pCurrentProfile);
    EXPECT_EQ("Work", dialog->m_pCurrentProfile->ProfileName);
    EXPECT_EQ("Work", StoredDefaultProfile());
}

TEST_F(SelectionTest, AMissingRememberedProfileFallsBackToAPrefixMatch)
{
    AddProfile("Home");
    AddProfile("Work2");
    SetDefaultProfile("work");
    Open();
    ASSERT_NE(nullptr, dialog->m_pCurrentProfile);
    EXPECT_EQ("Work2", dialog->m_pCurrentProfile->ProfileName);
    EXPECT_EQ("Work2", StoredDefaultProfile());
}

TEST_F(SelectionTest, AMissingRememberedProfileWithoutAMatchTakesItemZero)
{
    AddProfile("Zulu");
    AddProfile("Home");
    SetDefaultProfile("Gone");
    Open();
    EXPECT_EQ("Home", dialog->m_pCurrentProfile->ProfileName);
    EXPECT_EQ("Home", StoredDefaultProfile());
}

TEST_F(SelectionTest, EverySelectionIsRememberedAndChecked)
{
    AddProfile("Home", "isp", "000222");
    AddProfile("Work", "isp", "000111");
    SetDefaultProfile("Home");
    Open();
    EXPECT_EQ("000222 - bob", dialog->m_comboToken.GetWindowText());
    ChooseItem(IDC_PROFILE_COMBO, 1);
    EXPECT_EQ("Work", dialog->m_pCurrentProfile->ProfileName);
    EXPECT_EQ("Work", StoredDefaultProfile());
    EXPECT_EQ("000111 - ann", dialog->m_comboToken.GetWindowText());
    EXPECT_TRUE(boxes->Texts().empty());
}

TEST_F(SelectionTest, AProfileWithoutATokenLeavesTheTokenBoxAlone)
{
    AddProfile("Home", "isp", "000222");
    AddProfile("Work");
    SetDefaultProfile("Home");
    Open();
    ChooseItem(IDC_PROFILE_COMBO, 1);
    EXPECT_EQ("Work", dialog->m_pCurrentProfile->ProfileName);
    EXPECT_EQ("000222 - bob", dialog->m_comboToken.GetWindowText());
    EXPECT_TRUE(Control(IDOK)->isEnabled());
}

TEST_F(SelectionTest, AProfileWithAnUnknownTokenClearsTheTokenBox)
{
    AddProfile("Home", "isp", "000222");
    AddProfile("Work", "isp", "777");
    SetDefaultProfile("Home");
    Open();
    ChooseItem(IDC_PROFILE_COMBO, 1);
    EXPECT_EQ(-1, dialog->m_comboToken.GetCurSel());
    EXPECT_EQ((Texts{"Token serial number \"777\" for Trevalo profile \"Work\" was not found."}), boxes->Texts());
    EXPECT_TRUE(dialog->m_bProfileUsable);
    EXPECT_FALSE(Control(IDOK)->isEnabled());
}

TEST_F(SelectionTest, ChangingTheTokenOrTypingAUserIdEmptiesThePin)
{
    AddProfile("Work", "isp", "000111", "ann", true);
    SetDefaultProfile("Work");
    Open();
    QLineEdit* pin = Edit(IDC_PIN);
    pin->setFocus();
    QTest::keyClicks(pin, "1234");
    EXPECT_EQ("1234", pin->text().toStdString());
    ChooseItem(IDC_TOKEN_COMBO, 1);
    EXPECT_EQ("", pin->text().toStdString());

    QTest::keyClicks(pin, "5678");
    QLineEdit* userId = Edit(IDC_USER_ID);
    userId->setFocus();
    QTest::keyClicks(userId, "x");
    EXPECT_EQ("", pin->text().toStdString());
    EXPECT_EQ("", dialog->m_strPin);
    EXPECT_EQ("annx", userId->text().toStdString());
}

TEST_F(SelectionTest, SelectingAnotherProfileRestoresItsStoredUserId)
{
    AddProfile("Home", "isp", "000111", "home.user", true);
    AddProfile("Work", "isp", "000111", "work.user", true);
    SetDefaultProfile("Home");
    Open();
    QTest::keyClicks(Edit(IDC_USER_ID), "typed");
    ChooseItem(IDC_PROFILE_COMBO, 1);
    EXPECT_EQ("work.user", Edit(IDC_USER_ID)->text().toStdString());
}
