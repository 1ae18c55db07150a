#include <framework/DataExchange.h>
#include <framework/PropertyPage.h>
#include <framework/PropertySheet.h>
#include <res/resource.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Events = std::vector<std::string>;

// A page on the profile name edit of template 106 that records what reaches it.
class CRecordingPage : public CPropertyPage {
public:
    CRecordingPage(std::string name, Events& events) : CPropertyPage(IDD_PROFILE_GENERAL), m_name(std::move(name)), m_events(events) {}

    bool OnApply() override
    {
        m_events.push_back("apply " + m_name);
        return m_bAccept;
    }
    void OnHelp() { m_events.push_back("help " + m_name); }

    bool m_bAccept = true;
    std::string m_strText;

protected:
    bool OnInitDialog() override
    {
        m_events.push_back("init " + m_name);
        return CPropertyPage::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_GENERAL_PROFILE_NAME, m_strText); }
    DispatchTable GetDispatchTable() const override
    {
        static const DispatchEntry kTable[] = {OnCommand(ID_HELP, &CRecordingPage::OnHelp)};
        return kTable;
    }

private:
    std::string m_name;
    Events& m_events;
};

class PropertySheetTest : public ::testing::Test {
protected:
    PropertySheetTest()
    {
        sheet.AddPage(&first);
        sheet.AddPage(&second);
        sheet.AddPage(&third);
    }
    ~PropertySheetTest() override { SetModalRunner(std::move(m_previous)); }

    // Runs the sheet with `act` in place of the user; the sheet is cancelled if `act` leaves it open.
    int Run(const std::function<void()>& act)
    {
        m_previous = SetModalRunner([this, act](CDialog& dialog) {
            act();
            if (dialog.GetSafeHwnd()->isVisible())
                dialog.EndDialog(IDCANCEL);
        });
        return sheet.DoModal();
    }
    QPushButton* Button(int id) const { return qobject_cast<QPushButton*>(sheet.GetControl(id)); }
    QLineEdit* Name(CPropertyPage& page) const { return qobject_cast<QLineEdit*>(page.GetControl(IDC_GENERAL_PROFILE_NAME)); }

    Events events;
    CRecordingPage first{"first", events};
    CRecordingPage second{"second", events};
    CRecordingPage third{"third", events};
    CPropertySheet sheet{"Sheet caption"};

private:
    ModalRunner m_previous;
};

} // namespace

TEST_F(PropertySheetTest, CreatesPagesOnFirstActivationAndAppliesTheCreatedOnesInOrder)
{
    const int result = Run([&] {
        EXPECT_EQ("Sheet caption", sheet.GetWindowText());
        EXPECT_EQ((Events{"init first"}), events);
        EXPECT_FALSE(second.IsCreated());
        EXPECT_FALSE(Button(ID_APPLY_NOW)->isEnabled());
        first.SetModified();
        EXPECT_TRUE(Button(ID_APPLY_NOW)->isEnabled());
        Button(ID_APPLY_NOW)->click();
        EXPECT_FALSE(Button(ID_APPLY_NOW)->isEnabled());
        EXPECT_TRUE(sheet.SetActivePage(2));
        EXPECT_EQ(&third, sheet.GetActivePage());
        Button(IDOK)->click();
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ((Events{"init first", "apply first", "init third", "apply first", "apply third"}), events);
    EXPECT_FALSE(first.IsCreated()); // the windows went with the sheet's
}

TEST_F(PropertySheetTest, APageThatRefusesKeepsTheSheetOpenAndStopsTheApply)
{
    first.m_bAccept = false;
    const int result = Run([&] {
        sheet.SetActivePage(1);
        Button(IDOK)->click();
        EXPECT_TRUE(sheet.GetSafeHwnd()->isVisible());
        first.m_bAccept = true;
        Button(IDOK)->click();
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ((Events{"init first", "init second", "apply first", "apply first", "apply second"}), events);
}

TEST_F(PropertySheetTest, HelpGoesToTheActivePage)
{
    Run([&] {
        Button(IDHELP)->click();
        sheet.SetActivePage(1);
        Button(IDHELP)->click();
    });
    EXPECT_EQ((Events{"init first", "help first", "init second", "help second"}), events);
}

TEST_F(PropertySheetTest, LeavingAPageByItsTabTakesTheTextOfItsControls)
{
    Run([&] {
        Name(first)->setText("typed");
        EXPECT_EQ("", first.m_strText);
        auto* tabs = sheet.GetSafeHwnd()->findChild<QTabWidget*>();
        ASSERT_NE(nullptr, tabs);
        EXPECT_EQ("General", tabs->tabText(0).toStdString());
        tabs->setCurrentIndex(1);
        EXPECT_EQ(&second, sheet.GetActivePage());
        EXPECT_TRUE(second.IsCreated());
    });
    EXPECT_EQ("typed", first.m_strText);
}

TEST_F(PropertySheetTest, EnterInAPageIsOkAndEscIsCancel)
{
    EXPECT_EQ(IDOK, Run([&] { QTest::keyClick(Name(first), Qt::Key_Return); }));
    events.clear();
    EXPECT_EQ(IDCANCEL, Run([&] {
        QTest::keyClick(Name(first), Qt::Key_Escape);
        EXPECT_FALSE(sheet.GetSafeHwnd()->isVisible());
    }));
    EXPECT_EQ((Events{"init first"}), events); // a second run creates the pages anew
}

TEST_F(PropertySheetTest, StartsOnTheChosenPageWithItsFirstControlFocused)
{
    CPropertySheet other("Other", 1);
    CRecordingPage a{"a", events};
    CRecordingPage b{"b", events};
    other.AddPage(&a);
    other.AddPage(&b);
    const ModalRunner previous = SetModalRunner([&](CDialog& dialog) {
        EXPECT_EQ(&b, other.GetActivePage());
        EXPECT_EQ(b.GetControl(IDC_GENERAL_PROFILE_NAME), dialog.GetSafeHwnd()->focusWidget());
        // The pages and the buttons lie inside the sheet, the buttons below the pages.
        QWidget* window = dialog.GetSafeHwnd();
        const QRect ok = dialog.GetControl(IDOK)->geometry();
        const QWidget* page = b.GetSafeHwnd();
        EXPECT_TRUE(window->rect().contains(ok));
        EXPECT_TRUE(window->rect().contains(QRect(page->mapTo(window, QPoint(0, 0)), page->size())));
        EXPECT_GT(ok.top(), page->mapTo(window, QPoint(0, page->height())).y());
        dialog.EndDialog(IDCANCEL);
    });
    other.DoModal();
    SetModalRunner(previous);
    EXPECT_EQ((Events{"init b"}), events);
}

TEST_F(PropertySheetTest, WithoutARunnerTheSheetRunsItsOwnModalLoop)
{
    QTimer::singleShot(0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
    EXPECT_EQ(IDCANCEL, sheet.DoModal());
    EXPECT_EQ((Events{"init first"}), events);
}
