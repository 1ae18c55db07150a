#include "TestDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

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

namespace {

// The ways text reaches a field without a key press for each character.
struct Arrival {
    const char* name;
    std::function<void(QLineEdit*, const QString&)> bring;
};

const Arrival kArrivals[] = {
    {"InputMethodCommit",
     [](QLineEdit* edit, const QString& text) {
         QInputMethodEvent commit;
         commit.setCommitString(text);
         QApplication::sendEvent(edit, &commit);
     }},
    {"ShiftInsertPaste",
     [](QLineEdit* edit, const QString& text) {
         QApplication::clipboard()->setText(text);
         QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
     }},
    {"Drop",
     [](QLineEdit* edit, const QString& text) {
         QMimeData data;
         data.setText(text);
         const QPoint where = edit->rect().center();
         QDragEnterEvent enter(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
         QApplication::sendEvent(edit, &enter);
         QDropEvent drop(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
         QApplication::sendEvent(edit, &drop);
     }},
};

void PrintTo(const Arrival& arrival, std::ostream* out)
{
    *out << arrival.name;
}

class TextArrivalTest : public EditTest, public ::testing::WithParamInterface<Arrival> {};

} // namespace

TEST_P(TextArrivalTest, TextThatOnCharWouldDropIsRefusedHoweverItArrives)
{
    dialog.m_digits.LimitText(8);
    QLineEdit* digits = LineEdit(dialog.m_digits);
    GetParam().bring(digits, "12");
    EXPECT_EQ("12", digits->text().toStdString()) << "digits get in this way";
    for (const char* refused : {"3a", "é", "4 5", "\t6"})
        GetParam().bring(digits, QString::fromUtf8(refused));
    EXPECT_EQ("12", digits->text().toStdString());
    GetParam().bring(digits, "3456789012");
    EXPECT_EQ("12345678", digits->text().toStdString());
}

INSTANTIATE_TEST_SUITE_P(EveryWay, TextArrivalTest, ::testing::ValuesIn(kArrivals),
                         [](const ::testing::TestParamInfo<Arrival>& test) { return std::string(test.param.name); });
