#include "TestDialog.h"

#include <framework/DialogBuilder.h>
#include <framework/MessageBox.h>

#include <MessageBoxRecorder.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Events = std::vector<std::string>;

class DialogTest : public ::testing::Test {
protected:
    DialogTest() { EXPECT_TRUE(dialog.Create()); }
    QWidget* Control(int id) const { return dialog.GetControl(id); }
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* focus = dialog.GetSafeHwnd()->focusWidget();
        QTest::keyClick(focus ? focus : dialog.GetSafeHwnd(), static_cast<Qt::Key>(key), modifiers);
    }
    CTestDialog dialog;
};

// Runs modal dialogs with `act` in place of the user; restores the real runner afterwards.
class ScopedModalRunner {
public:
    explicit ScopedModalRunner(ModalRunner runner) : m_previous(SetModalRunner(std::move(runner))) {}
    ~ScopedModalRunner() { SetModalRunner(std::move(m_previous)); }

private:
    ModalRunner m_previous;
};

} // namespace

TEST_F(DialogTest, BuildsTheTemplateInDialogUnits)
{
    const CDialogUnits units(dialog.GetSafeHwnd()->font());
    const QRect name = Control(kName)->geometry();
    EXPECT_EQ(units.X(48), name.x());
    EXPECT_EQ(units.Y(4), name.y());
    EXPECT_EQ(units.X(100), name.width());
    EXPECT_EQ(units.Y(12), name.height());
    EXPECT_EQ(QSize(units.X(160), units.Y(90)), dialog.GetSafeHwnd()->size());
    EXPECT_EQ("Test dialog", dialog.GetWindowText());
    EXPECT_TRUE(qobject_cast<QPushButton*>(Control(1))->isDefault());
    EXPECT_EQ(1, dialog.GetDefID());
    EXPECT_EQ(QLineEdit::Password, qobject_cast<QLineEdit*>(Control(kDigits))->echoMode());
    // A drop-down list's height in the template includes its open list.
    EXPECT_LT(Control(kCombo)->height(), units.Y(60));
}

TEST(DialogLayout, TextsWiderThanTheTemplateWidenTheWholeLayout)
{
    static constexpr ControlTemplate kControls[] = {
        {IDC_STATIC, ControlKind::Static, "A label far too long for its room", 4, 4, 20, 8, SS_RIGHT},
        {1, ControlKind::DefPushButton, "OK", 30, 4, 40, 14, WS_TABSTOP},
    };
    static constexpr DialogTemplate kNarrow = {2, "Narrow", 80, 30, 0, kControls};
    class CNarrowDialog : public CDialog {
    public:
        CNarrowDialog() : CDialog(kNarrow) {}
    } dialog;
    ASSERT_TRUE(dialog.Create());
    const QWidget* window = dialog.GetSafeHwnd();
    const CDialogUnits plain(window->font());
    const auto* label = window->findChild<QLabel*>();
    ASSERT_NE(nullptr, label);
    const double factor = static_cast<double>(window->width()) / plain.X(80);
    EXPECT_GT(factor, 1.0);
    EXPECT_LE(factor, 1.51);
    // Positions keep their proportions, heights stay.
    EXPECT_NEAR(plain.X(30) * factor, dialog.GetControl(1)->x(), 1.0);
    EXPECT_EQ(plain.Y(14), dialog.GetControl(1)->height());
    EXPECT_GE(label->width(), std::min(label->fontMetrics().horizontalAdvance(label->text()),
                                       static_cast<int>(plain.X(20) * 1.5)));
}

TEST_F(DialogTest, TabOrderAndMnemonicsFollowTheTemplate)
{
    QWidget* order[] = {Control(kName), Control(kCombo), Control(kDigits), Control(kCheck),
                        Control(1),     Control(2),      Control(kAction)};
    const auto nextTabStop = [](QWidget* widget) {
        do
            widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus));
        return widget;
    };
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        EXPECT_EQ(order[i + 1], nextTabStop(order[i])) << i;
    EXPECT_EQ(Control(kName), qobject_cast<QLabel*>(Control(kNameLabel))->buddy());
    EXPECT_EQ(Qt::NoFocus, Control(kNameLabel)->focusPolicy());

    // Alt and a label's mnemonic move the focus to the control it labels.
    QApplication::setActiveWindow(dialog.GetSafeHwnd());
    dialog.m_digits.SetFocus();
    Press(Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(dialog.m_name.HasFocus());
    Press(Qt::Key_D, Qt::AltModifier);
    EXPECT_TRUE(dialog.m_digits.HasFocus());
    EXPECT_EQ("", dialog.m_digits.GetWindowText());
}

TEST_F(DialogTest, EnterPressesTheDefaultButtonAndEscCancels)
{
    dialog.m_name.SetFocus();
    Press(Qt::Key_Return);
    Press(Qt::Key_Escape);
    EXPECT_EQ((Events{"ok", "cancel"}), dialog.events);
}

TEST_F(DialogTest, EnterDoesNothingWhileTheDefaultButtonIsDisabled)
{
    Control(1)->setEnabled(false);
    dialog.m_name.SetFocus();
    Press(Qt::Key_Return);
    EXPECT_TRUE(dialog.events.empty());
}

TEST_F(DialogTest, EnterOnAFocusedButtonPressesThatButton)
{
    Control(kAction)->setFocus();
    Press(Qt::Key_Return);
    EXPECT_EQ((Events{"action"}), dialog.events);
}

TEST_F(DialogTest, ButtonsAndSetDefIdSendTheirCommands)
{
    QTest::mouseClick(Control(kAction), Qt::LeftButton);
    dialog.SetDefID(kAction);
    dialog.m_name.SetFocus();
    Press(Qt::Key_Enter);
    QTest::mouseClick(Control(2), Qt::LeftButton);
    EXPECT_EQ((Events{"action", "action", "cancel"}), dialog.events);
    EXPECT_FALSE(qobject_cast<QPushButton*>(Control(1))->isDefault());
}

TEST_F(DialogTest, TheCloseBoxIsTheCancelCommand)
{
    dialog.GetSafeHwnd()->close();
    EXPECT_EQ((Events{"cancel"}), dialog.events);
}

TEST_F(DialogTest, AcceleratorsComeBeforeTheFocusedControl)
{
    dialog.m_bAcceleratorOnF2 = true;
    dialog.m_name.SetFocus();
    Press(Qt::Key_F2);
    EXPECT_EQ((Events{"action"}), dialog.events);
}

TEST_F(DialogTest, DataExchangeMovesValuesBothWays)
{
    dialog.m_combo.AddString("Work");
    dialog.m_combo.AddString("Home");
    dialog.m_strChoice = "wo";
    dialog.m_strName = "ann";
    dialog.m_nChecked = 1;
    ASSERT_TRUE(dialog.UpdateData(false));
    EXPECT_EQ("Work", dialog.m_combo.GetWindowText());
    EXPECT_EQ("ann", dialog.m_name.GetWindowText());
    EXPECT_TRUE(qobject_cast<QCheckBox*>(Control(kCheck))->isChecked());
    // Loading also limited the name field.
    EXPECT_EQ(5, qobject_cast<QLineEdit*>(Control(kName))->maxLength());

    dialog.m_combo.SetCurSel(-1);
    dialog.m_name.SetWindowText("bob");
    qobject_cast<QCheckBox*>(Control(kCheck))->setChecked(false);
    ASSERT_TRUE(dialog.UpdateData(true));
    EXPECT_EQ("", dialog.m_strChoice);
    EXPECT_EQ("bob", dialog.m_strName);
    EXPECT_EQ(0, dialog.m_nChecked);
}

TEST_F(DialogTest, AnUnmatchedComboValueLeavesTheSelection)
{
    dialog.m_combo.AddString("Work");
    dialog.m_combo.SetCurSel(0);
    dialog.m_strChoice = "other";
    dialog.UpdateData(false);
    EXPECT_EQ(0, dialog.m_combo.GetCurSel());
}

TEST_F(DialogTest, ATooLongValueFailsTheSavingExchange)
{
    MessageBoxRecorder boxes;
    qobject_cast<QLineEdit*>(Control(kName))->setMaxLength(100);
    dialog.m_name.SetWindowText("toolong");
    EXPECT_FALSE(dialog.UpdateData(true));
    EXPECT_EQ((std::vector<std::string>{"Please enter no more than 5 characters."}), boxes.Texts());
    EXPECT_TRUE(dialog.m_name.HasFocus());
}

TEST_F(DialogTest, TimersDeliverTheirIds)
{
    ASSERT_TRUE(dialog.SetTimer(3, 5));
    ASSERT_TRUE(dialog.SetTimer(4, 5));
    const auto fired = [&](const char* event) { return std::count(dialog.events.begin(), dialog.events.end(), event); };
    // A busy machine may deliver them late, not never.
    for (int wait = 0; wait < 500 && (fired("timer 3") == 0 || fired("timer 4") == 0); ++wait)
        QTest::qWait(10);
    dialog.KillTimer(3);
    dialog.KillTimer(4);
    const auto count = std::count(dialog.events.begin(), dialog.events.end(), "timer 3");
    EXPECT_GE(count, 1);
    EXPECT_GE(std::count(dialog.events.begin(), dialog.events.end(), "timer 4"), 1);
    dialog.events.clear();
    QTest::qWait(20);
    EXPECT_TRUE(dialog.events.empty());
}

TEST_F(DialogTest, DestroyWindowEndsNotificationsAndCallsPostNcDestroy)
{
    QPointer<QWidget> name = Control(kName);
    dialog.SetTimer(3, 1);
    dialog.DestroyWindow();
    EXPECT_EQ((Events{"destroyed"}), dialog.events);
    EXPECT_EQ(nullptr, dialog.GetSafeHwnd());
    EXPECT_FALSE(dialog.SetTimer(3, 1));
    if (name)
        qobject_cast<QLineEdit*>(name.data())->setText("late");
    QTest::qWait(10);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ((Events{"destroyed"}), dialog.events);
    EXPECT_TRUE(name.isNull());
}

TEST(ModalDialog, RunsThroughTheModalRunner)
{
    ScopedModalRunner runner([](CDialog& dialog) {
        auto& test = static_cast<CTestDialog&>(dialog);
        test.m_name.SetWindowText("eve");
        QTest::mouseClick(dialog.GetControl(1), Qt::LeftButton);
    });
    CTestDialog dialog;
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ("eve", dialog.m_strName);
    EXPECT_EQ(nullptr, dialog.GetSafeHwnd());
}

TEST(ModalDialog, ARunThatEndsWithoutEndDialogGivesMinusOne)
{
    ScopedModalRunner runner([](CDialog&) {});
    CTestDialog dialog;
    EXPECT_EQ(-1, dialog.DoModal());
}

TEST(ModalDialog, CancelKeepsTheMembers)
{
    ScopedModalRunner runner([](CDialog& dialog) {
        static_cast<CTestDialog&>(dialog).m_name.SetWindowText("eve");
        QTest::keyClick(dialog.GetControl(kName), Qt::Key_Escape);
    });
    CTestDialog dialog;
    dialog.m_strName = "ann";
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ("ann", dialog.m_strName);
}
