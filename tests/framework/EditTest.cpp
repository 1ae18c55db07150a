#include "TestDialog.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QLineEdit* LineEdit(CWnd& wnd)
{
    return qobject_cast<QLineEdit*>(wnd.GetSafeHwnd());
}

class EditTest : public ::testing::Test {
protected:
    EditTest()
    {
        dialog.Create();
        dialog.m_digits.SetFocus();
    }
    CTestDialog dialog;
};

} // namespace

TEST_F(EditTest, OnCharDecidesWhichTypedCharactersGetIn)
{
    QLineEdit* digits = LineEdit(dialog.m_digits);
    QTest::keyClicks(digits, "1a2 b-3.");
    EXPECT_EQ("123", digits->text().toStdString());
    QTest::keyClick(digits, Qt::Key_Backspace);
    EXPECT_EQ("12", digits->text().toStdString());
    // Keys that type nothing still work.
    QTest::keyClick(digits, Qt::Key_Home);
    QTest::keyClicks(digits, "0");
    EXPECT_EQ("012", digits->text().toStdString());
}

TEST_F(EditTest, PasteByCtrlVIsATypedCharacterAndDropped)
{
    QLineEdit* digits = LineEdit(dialog.m_digits);
    digits->setEchoMode(QLineEdit::Normal);
    digits->setText("12");
    digits->selectAll();
    QTest::keyClick(digits, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(digits, Qt::Key_End);
    QTest::keyClick(digits, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ("12", digits->text().toStdString());
}

TEST_F(EditTest, EveryTextChangeNotifiesProgrammaticOnesToo)
{
    dialog.m_name.SetWindowText("ann");
    QTest::keyClicks(LineEdit(dialog.m_name), "x");
    dialog.m_name.SetWindowText("ann"); // a change back
    EXPECT_EQ((std::vector<std::string>{"namechange", "namechange", "namechange"}), dialog.events);
}

TEST_F(EditTest, LimitTextCapsTyping)
{
    dialog.m_digits.LimitText(8);
    QTest::keyClicks(LineEdit(dialog.m_digits), "1234567890");
    EXPECT_EQ("12345678", LineEdit(dialog.m_digits)->text().toStdString());
    EXPECT_TRUE(dialog.m_digits.IsPasswordStyle());
}
