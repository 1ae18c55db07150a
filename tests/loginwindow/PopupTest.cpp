#include "LoginWindowFixture.h"

#include <res/resource.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

namespace {

bool Greyed(const std::vector<CMenu::Item>& items, unsigned command)
{
    for (const auto& item : items)
        if (item.command == command)
            return (item.state & MF_GRAYED) != 0;
    ADD_FAILURE() << "no item " << command;
    return false;
}

// Counts the key presses that reach a control, leaving out the modifier keys themselves.
class KeyCounter : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Control && key != Qt::Key_Alt && key != Qt::Key_Shift && key != Qt::Key_Meta)
            ++count;
        return false;
    }
};

} // namespace

TEST_F(LoginWindowTest, ThePopupGreysEditDeleteAndTestScriptWithoutAProfile)
{
    Open();
    dialog->OnProfileButton();
    ASSERT_EQ(1u, popupItems.size());
    EXPECT_FALSE(Greyed(popupItems[0], ID_PROFILE_NEW));
    EXPECT_TRUE(Greyed(popupItems[0], ID_PROFILE_EDIT));
    EXPECT_TRUE(Greyed(popupItems[0], ID_PROFILE_DELETE));
    EXPECT_TRUE(Greyed(popupItems[0], ID_TEST_SCRIPT));
}

TEST_F(LoginWindowTest, ThePopupOffersEverythingWithAProfile)
{
    AddPeer("isp");
    AddProfile("Work");
    Open();
    dialog->OnProfileButton();
    ASSERT_EQ(1u, popupItems.size());
    for (unsigned command : {ID_PROFILE_NEW, ID_PROFILE_EDIT, ID_PROFILE_DELETE, ID_TEST_SCRIPT})
        EXPECT_FALSE(Greyed(popupItems[0], command)) << command;
}

TEST_F(LoginWindowTest, AltROpensThePopupAndEnterDoesWithoutAProfile)
{
    Open();
    QTest::keyClick(dialog->m_btnProfile.GetSafeHwnd(), Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(1u, popupItems.size());
    // Profile >>> is the default button and has the focus.
    QTest::keyClick(dialog->m_btnProfile.GetSafeHwnd(), Qt::Key_Return);
    EXPECT_EQ(2u, popupItems.size());
}

TEST_F(LoginWindowTest, TheHelpKeysAreConsumedBeforeTheControls)
{
    AddPeer("isp");
    AddProfile("Work");
    Open();
    QLineEdit* pin = Edit(IDC_PIN);
    pin->setFocus();
    KeyCounter counter;
    pin->installEventFilter(&counter);
    for (auto modifiers : {Qt::NoModifier, Qt::ControlModifier, Qt::AltModifier, Qt::ShiftModifier})
        QTest::keyClick(pin, Qt::Key_F1, modifiers);
    QTest::keyClick(pin, Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(0, counter.count);
    EXPECT_EQ(1u, popupItems.size());
    QTest::keyClick(pin, Qt::Key_5);
    EXPECT_EQ(1, counter.count);
    pin->removeEventFilter(&counter);
}
