#include "LoginWindowFixture.h"

#include <framework/DataExchange.h>
#include <res/resource.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

namespace {

class EntryRulesTest : public LoginWindowTest {
protected:
    EntryRulesTest()
    {
        tokens.tokens = {{"000111", "ann"}};
        AddPeer("isp");
    }

    void OpenWith(bool userLoginRequired, const std::string& userLogin = "")
    {
        AddProfile("Work", "isp", "000111", userLogin, userLoginRequired);
        SetDefaultProfile("Work");
        Open();
        boxes.emplace();
    }

    // Types into the PIN field as the user does.
    void TypePin(const QString& keys)
    {
        Edit(IDC_PIN)->setFocus();
        QTest::keyClicks(Edit(IDC_PIN), keys);
    }

    bool Check(const std::string& userId, const std::string& pin)
    {
        dialog->m_strUserId = userId;
        dialog->m_strPin = pin;
        return dialog->CheckEntries();
    }
};

} // namespace

TEST_F(EntryRulesTest, ThePinFieldTakesDigitsOnlyAndAtMostEight)
{
    OpenWith(false);
    // "/" and ":" are the characters on either side of the digits.
    TypePin("/0a 9:-.b4");
    EXPECT_EQ("094", Edit(IDC_PIN)->text().toStdString());
    QTest::keyClick(Edit(IDC_PIN), Qt::Key_Backspace);
    EXPECT_EQ("09", Edit(IDC_PIN)->text().toStdString());
    TypePin("4567890");
    EXPECT_EQ("09456789", Edit(IDC_PIN)->text().toStdString());
    EXPECT_EQ(QLineEdit::Password, Edit(IDC_PIN)->echoMode());
}

TEST_F(EntryRulesTest, EachLabelsMnemonicReachesItsField)
{
    OpenWith(true, "ann");
    QApplication::setActiveWindow(dialog->GetSafeHwnd());
    const std::pair<Qt::Key, int> mnemonics[] = {
        {Qt::Key_P, IDC_PIN}, {Qt::Key_U, IDC_USER_ID}, {Qt::Key_T, IDC_TOKEN_COMBO}, {Qt::Key_C, IDC_PROFILE_COMBO}};
    for (const auto& [key, id] : mnemonics) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : dialog->GetSafeHwnd(), key, Qt::AltModifier);
        EXPECT_EQ(Control(id), QApplication::focusWidget()) << id;
    }
}

TEST_F(EntryRulesTest, PastingWithCtrlVIsDropped)
{
    OpenWith(false);
    Edit(IDC_USER_ID)->setText("4321");
    TypePin("12");
    QApplication::clipboard()->setText("5555");
    QTest::keyClick(Edit(IDC_PIN), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ("12", Edit(IDC_PIN)->text().toStdString());
}

TEST_F(EntryRulesTest, TheUserIdTakesAtMost48Characters)
{
    OpenWith(true);
    Edit(IDC_USER_ID)->setFocus();
    QTest::keyClicks(Edit(IDC_USER_ID), QString(60, QLatin1Char('u')));
    EXPECT_EQ(48, Edit(IDC_USER_ID)->text().size());
}

TEST_F(EntryRulesTest, ARequiredUserIdIsAskedForFirst)
{
    OpenWith(true);
    EXPECT_FALSE(Check("", ""));
    EXPECT_EQ((Texts{"Please enter your User ID."}), boxes->Texts());
    EXPECT_TRUE(dialog->m_editUserId.HasFocus());
    EXPECT_TRUE(Check(" ", "1234")); // spaces are a user ID
}

TEST_F(EntryRulesTest, ThePinMustHaveAtLeastFourCharacters)
{
    OpenWith(false);
    EXPECT_FALSE(Check("", ""));
    EXPECT_FALSE(Check("", "123"));
    EXPECT_EQ((Texts{"Please enter your PIN.", "A PIN must be at least 4 characters long."}), boxes->Texts());
    EXPECT_TRUE(dialog->m_editPin.HasFocus());
    for (const char* pin : {"0123", "01234567", "0000"})
        EXPECT_TRUE(Check("", pin)) << pin;
    EXPECT_EQ(2u, boxes->Texts().size());
}

TEST_F(EntryRulesTest, AHiddenUserIdIsNotAskedFor)
{
    OpenWith(false);
    EXPECT_TRUE(Check("", "1234"));
    EXPECT_TRUE(boxes->Texts().empty());
}
