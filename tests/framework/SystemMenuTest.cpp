#include "TestDialog.h"

#include <framework/Menu.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Events = std::vector<std::string>;

// A dialog whose system menu choices are made by the test.
class SystemMenuTest : public ::testing::Test {
protected:
    SystemMenuTest()
    {
        EXPECT_TRUE(dialog.Create());
        m_previous = SetPopupMenuRunner([this](const CMenu& menu, QPoint at) {
            shown.push_back(menu.Items());
            shownAt = at;
            return choice;
        });
    }
    ~SystemMenuTest() override { SetPopupMenuRunner(std::move(m_previous)); }

    static bool Greyed(const std::vector<CMenu::Item>& items, unsigned command)
    {
        for (const auto& item : items)
            if (item.command == command)
                return (item.state & MF_GRAYED) != 0;
        ADD_FAILURE() << "no item " << command;
        return false;
    }

    void RightClick(QWidget* target, QPoint at)
    {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
        QApplication::sendEvent(target, &event);
    }

    CTestDialog dialog;
    std::vector<std::vector<CMenu::Item>> shown;
    QPoint shownAt;
    unsigned choice = 0;

private:
    PopupMenuRunner m_previous;
};

std::vector<std::pair<unsigned, std::string>> Entries(const std::vector<CMenu::Item>& items)
{
    std::vector<std::pair<unsigned, std::string>> entries;
    for (const auto& item : items)
        entries.emplace_back(item.command, item.text);
    return entries;
}

} // namespace

TEST_F(SystemMenuTest, AltSpaceShowsTheStandardEntriesAtTheTopLeftCorner)
{
    QWidget* name = dialog.GetControl(kName);
    name->setFocus();
    QTest::keyClick(name, Qt::Key_Space, Qt::AltModifier);
    ASSERT_EQ(1u, shown.size());
    const std::vector<std::pair<unsigned, std::string>> expected = {
        {SC_RESTORE, "&Restore"}, {SC_MINIMIZE, "Mi&nimize"}, {0, ""}, {SC_CLOSE, "&Close"}};
    EXPECT_EQ(expected, Entries(shown[0]));
    EXPECT_EQ(dialog.GetSafeHwnd()->mapToGlobal(QPoint(0, 0)), shownAt);
    EXPECT_TRUE(Greyed(shown[0], SC_RESTORE));
    EXPECT_FALSE(Greyed(shown[0], SC_MINIMIZE));
    EXPECT_TRUE(dialog.events.empty());
    // The key never reached the edit field.
    EXPECT_EQ(QString(), qobject_cast<QLineEdit*>(name)->text());
}

TEST_F(SystemMenuTest, CloseIsTheCancelCommand)
{
    choice = SC_CLOSE;
    dialog.ShowSystemMenu(QPoint(5, 5));
    EXPECT_EQ((Events{"cancel"}), dialog.events);
}

TEST_F(SystemMenuTest, MinimizeAndRestoreSwapWhichOneIsOffered)
{
    choice = SC_MINIMIZE;
    dialog.ShowSystemMenu(QPoint());
    EXPECT_TRUE(dialog.IsIconic());
    choice = SC_RESTORE;
    dialog.ShowSystemMenu(QPoint());
    ASSERT_EQ(2u, shown.size());
    EXPECT_FALSE(Greyed(shown[1], SC_RESTORE));
    EXPECT_TRUE(Greyed(shown[1], SC_MINIMIZE));
    EXPECT_FALSE(dialog.IsIconic());
    // A greyed entry chosen anyway does nothing.
    choice = SC_RESTORE;
    dialog.ShowSystemMenu(QPoint());
    EXPECT_FALSE(dialog.IsIconic());
    EXPECT_TRUE(dialog.events.empty());
}

TEST_F(SystemMenuTest, ARightClickOnTheBackgroundOrALabelOpensItButNotOnAControl)
{
    QWidget* window = dialog.GetSafeHwnd();
    RightClick(window, QPoint(window->width() - 2, window->height() - 2));
    EXPECT_EQ(1u, shown.size());
    QWidget* label = dialog.GetControl(kNameLabel);
    RightClick(label, QPoint(1, 1));
    EXPECT_EQ(2u, shown.size());
    RightClick(dialog.GetControl(kCombo), QPoint(1, 1));
    EXPECT_EQ(2u, shown.size());
}

TEST_F(SystemMenuTest, RevertingPutsBackTheStandardMenu)
{
    dialog.GetSystemMenu(false)->AppendMenu(MF_STRING, 16, "&About");
    EXPECT_NE(nullptr, dialog.GetSystemMenu(false)->FindItem(16));
    EXPECT_EQ(nullptr, dialog.GetSystemMenu(true)->FindItem(16));
    EXPECT_NE(nullptr, dialog.GetSystemMenu(false)->FindItem(SC_CLOSE));
}
