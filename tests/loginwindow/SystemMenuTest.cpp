#include "LoginWindowFixture.h"

#include <framework/HtmlHelp.h>
#include <profiles/RegistryKey.h>
#include <res/HelpTopics.h>
#include <res/resource.h>

#include <QCoreApplication>
#include <QTest>
#include <QWhatsThis>

namespace {

class LoginSystemMenuTest : public LoginWindowTest {
protected:
    static void StoreAutoExit(DWORD value)
    {
        CRegistryKey key(IDS_REG_SETTINGS_KEY);
        ASSERT_TRUE(key.WriteDword(IDS_REG_AUTO_EXIT, value));
    }
    static DWORD StoredAutoExit()
    {
        CRegistryKey key(IDS_REG_SETTINGS_KEY);
        DWORD value = 0xDEAD;
        EXPECT_TRUE(key.ReadDword(IDS_REG_AUTO_EXIT, value));
        return value;
    }
    bool AutoExitChecked() const
    {
        const CMenu::Item* item = dialog->GetSystemMenu(false)->FindItem(ID_AUTO_EXIT);
        return item && (item->state & MF_CHECKED);
    }
    // Chooses `command` from the system menu opened with Alt+Space.
    void Choose(unsigned command)
    {
        popupChoice = command;
        QWidget* focus = dialog->GetSafeHwnd()->focusWidget();
        QTest::keyClick(focus ? focus : dialog->GetSafeHwnd(), Qt::Key_Space, Qt::AltModifier);
        popupChoice = 0;
    }
};

using Entries = std::vector<std::pair<unsigned, std::string>>;

} // namespace

TEST_F(LoginSystemMenuTest, TheStandardEntriesAreFollowedByAutoExitAndAbout)
{
    Open();
    Choose(0);
    ASSERT_EQ(1u, popupItems.size());
    Entries entries;
    for (const CMenu::Item& item : popupItems[0])
        entries.emplace_back(item.command, item.text);
    EXPECT_EQ((Entries{{SC_RESTORE, "&Restore"},
                       {SC_MINIMIZE, "Mi&nimize"},
                       {SC_CONTEXTHELP, "What's &This?"},
                       {0, ""},
                       {SC_CLOSE, "&Close"},
                       {0, ""},
                       {ID_AUTO_EXIT, "&AutoExit"},
                       {0, ""},
                       {IDM_ABOUTBOX, "&About Trevalo"}}),
              entries);
    EXPECT_FALSE(AutoExitChecked());
}

TEST_F(LoginSystemMenuTest, AutoExitTogglesItsCheckMarkAndStoresOneOrZero)
{
    StoreAutoExit(7);
    Open();
    EXPECT_TRUE(dialog->m_bAutoExit);
    EXPECT_TRUE(AutoExitChecked());
    Choose(ID_AUTO_EXIT);
    EXPECT_FALSE(dialog->m_bAutoExit);
    EXPECT_FALSE(AutoExitChecked());
    EXPECT_EQ(0u, StoredAutoExit());
    Choose(ID_AUTO_EXIT);
    EXPECT_TRUE(dialog->m_bAutoExit);
    EXPECT_TRUE(AutoExitChecked());
    EXPECT_EQ(1u, StoredAutoExit());
    // The check mark is in the menu the user sees next.
    Choose(0);
    EXPECT_TRUE(popupItems.back().at(6).state & MF_CHECKED);
}

TEST_F(LoginSystemMenuTest, StartUpTurnsAutoExitOnOnlyForAPositiveValue)
{
    Open();
    EXPECT_FALSE(dialog->m_bAutoExit) << "missing";
    const std::pair<DWORD, bool> cases[] = {
        {0, false}, {0xFFFFFFFFu, false}, {0x80000000u, false}, {1, true}, {0x7FFFFFFFu, true}};
    for (const auto& [stored, on] : cases) {
        dialog->DestroyWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        StoreAutoExit(stored);
        Open();
        EXPECT_EQ(on, dialog->m_bAutoExit) << stored;
        EXPECT_EQ(on, AutoExitChecked()) << stored;
    }
}

TEST_F(LoginSystemMenuTest, AboutOpensModallyAndTheWindowStaysUsable)
{
    AddPeer("isp");
    AddProfile("Work");
    Open();
    std::vector<std::string> versions;
    bool modal = false;
    const ModalRunner previous = SetModalRunner([&](CDialog& about) {
        versions.push_back(about.GetDlgItem(IDC_VERSION)->GetWindowText());
        modal = about.GetSafeHwnd()->isModal();
        about.EndDialog(IDOK);
    });
    Choose(IDM_ABOUTBOX);
    SetModalRunner(previous);
    EXPECT_EQ((Texts{"Version 3.0.1 [004]"}), versions);
    EXPECT_TRUE(modal);
    EXPECT_FALSE(dialog->m_bAutoExit);
    // Still answering: Alt+R opens the profile popup, and the entries still work.
    QWidget* focus = dialog->GetSafeHwnd()->focusWidget();
    ASSERT_NE(nullptr, focus);
    QTest::keyClick(focus, Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(2u, popupItems.size());
    EXPECT_TRUE(dialog->GetSafeHwnd()->isVisible());
    EXPECT_TRUE(Control(IDC_PIN)->isEnabled());
}

TEST_F(LoginSystemMenuTest, WhatsThisAsksAboutTheNextControlClicked)
{
    AddPeer("isp");
    AddProfile("Work");
    Open();
    std::vector<HtmlHelpRequest> requests;
    const HtmlHelpRunner previous = SetHtmlHelpRunner([&](const HtmlHelpRequest& request) {
        requests.push_back(request);
        return nullptr;
    });
    Choose(SC_CONTEXTHELP);
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    QTest::mouseClick(Control(IDC_TOKEN_COMBO), Qt::LeftButton);
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
    QWhatsThis::leaveWhatsThisMode();
    SetHtmlHelpRunner(previous);
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ(Control(IDC_TOKEN_COMBO), requests[0].caller);
    EXPECT_EQ(kHelpContextPopups, requests[0].location);
    EXPECT_EQ(HH_TP_HELP_WM_HELP, requests[0].command);
    EXPECT_EQ(4u, requests[0].ids.size());
}

TEST_F(LoginSystemMenuTest, WhatsThisWorksOnADisabledControlToo)
{
    Open();
    ASSERT_FALSE(Control(IDC_PROFILE_COMBO)->isEnabled());
    std::vector<QWidget*> callers;
    const HtmlHelpRunner previous = SetHtmlHelpRunner([&](const HtmlHelpRequest& request) {
        callers.push_back(request.caller);
        return nullptr;
    });
    Choose(SC_CONTEXTHELP);
    QTest::mouseClick(Control(IDC_PROFILE_COMBO), Qt::LeftButton);
    QWhatsThis::leaveWhatsThisMode();
    SetHtmlHelpRunner(previous);
    EXPECT_EQ((std::vector<QWidget*>{Control(IDC_PROFILE_COMBO)}), callers);
}
