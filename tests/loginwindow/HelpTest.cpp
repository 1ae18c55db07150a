#include "LoginWindowFixture.h"

#include <framework/HelpViewer.h>
#include <framework/HtmlHelp.h>
#include <res/HelpTopics.h>
#include <res/resource.h>

#include <QApplication>
#include <QHelpEvent>
#include <QTest>
#include <QWhatsThis>

#include <filesystem>

namespace {

// A login window with a profile that shows every control, and the help requests it makes.
class LoginHelpTest : public LoginWindowTest {
protected:
    LoginHelpTest()
    {
        tokens.tokens = {{"000111", "ann"}};
        AddPeer("isp");
        AddProfile("Work", "isp", "000111", "ann", true);
        SetDefaultProfile("Work");
        m_previous = SetHtmlHelpRunner([this](const HtmlHelpRequest& request) {
            if (request.command != HH_DESCRIBE_CONTROLS) // every opening window asks for it
                requests.push_back(request);
            return viewer ? viewer->Show(request) : nullptr;
        });
    }
    ~LoginHelpTest() override
    {
        QWhatsThis::hideText();
        SetHtmlHelpRunner(std::move(m_previous));
    }

    // The real viewer on a help book whose popups name their number.
    void UseViewer()
    {
        std::filesystem::create_directories(dir.File("help/kelvane"));
        WriteFile(dir.File("help/kelvane/context.txt"),
                  ".topic 23\nPopup 23\n.topic 24\nPopup 24\n.topic 25\nPopup 25\n.topic 26\nPopup 26\n");
        viewer.emplace(dir.File("help"));
    }

    // What a What's This click on control `id` shows: the popup's text, or "" for none.
    std::string WhatsThis(int id)
    {
        QWhatsThis::hideText();
        QWidget* control = Control(id);
        QHelpEvent event(QEvent::WhatsThis, QPoint(2, 2), control->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(control, &event);
        QWidget* popup = QApplication::activePopupWidget();
        return popup ? popup->accessibleName().toStdString() : std::string();
    }

    bool HelpInfoFor(int id)
    {
        HELPINFO info{HELPINFO_WINDOW, id, Control(id), QPoint()};
        return dialog->OnHelpInfo(&info);
    }

    void Press(QWidget* target, Qt::KeyboardModifiers modifiers)
    {
        target->setFocus();
        QTest::keyClick(target, Qt::Key_F1, modifiers);
    }

    std::vector<HtmlHelpRequest> requests;
    std::optional<CHelpViewer> viewer;

private:
    HtmlHelpRunner m_previous;
};

} // namespace

TEST_F(LoginHelpTest, F1AnywhereAndTheHelpButtonOpenTheOverview)
{
    Open();
    Press(Control(IDC_PIN), Qt::NoModifier);
    Press(Control(IDC_PROFILE_COMBO), Qt::NoModifier);
    Press(Control(IDC_USER_ID), Qt::NoModifier);
    QTest::mouseClick(Control(ID_HELP_COMMAND), Qt::LeftButton);
    ASSERT_EQ(4u, requests.size());
    for (const HtmlHelpRequest& request : requests) {
        EXPECT_EQ(dialog->GetSafeHwnd(), request.caller);
        EXPECT_EQ(kHelpOverviewTopic, request.location);
        EXPECT_EQ(HH_DISPLAY_TOPIC, request.command);
        EXPECT_TRUE(request.ids.empty());
    }
}

TEST_F(LoginHelpTest, CtrlAltAndShiftF1AskForNoHelp)
{
    Open();
    for (auto modifiers : {Qt::ControlModifier, Qt::AltModifier, Qt::ShiftModifier})
        Press(Control(IDC_PIN), modifiers);
    EXPECT_TRUE(requests.empty());
    EXPECT_EQ(nullptr, QApplication::activePopupWidget());
}

TEST_F(LoginHelpTest, TheProfileTokenAndUserIdFieldsHaveTheirPopups)
{
    UseViewer();
    Open();
    // A screen reader reads the same text as the fields' descriptions.
    EXPECT_EQ("Popup 23", Control(IDC_PROFILE_COMBO)->accessibleDescription().toStdString());
    EXPECT_EQ("Popup 24", Control(IDC_TOKEN_COMBO)->accessibleDescription().toStdString());
    EXPECT_EQ("Popup 25", Control(IDC_USER_ID)->accessibleDescription().toStdString());
    EXPECT_EQ("Popup 23", WhatsThis(IDC_PROFILE_COMBO));
    EXPECT_EQ("Popup 24", WhatsThis(IDC_TOKEN_COMBO));
    EXPECT_EQ("Popup 25", WhatsThis(IDC_USER_ID));
    ASSERT_EQ(3u, requests.size());
    EXPECT_EQ(Control(IDC_USER_ID), requests[2].caller);
    EXPECT_EQ(kHelpContextPopups, requests[2].location);
    for (int id : {IDC_PROFILE_COMBO, IDC_TOKEN_COMBO, IDC_USER_ID})
        EXPECT_TRUE(HelpInfoFor(id)) << id;
}

TEST_F(LoginHelpTest, OtherControlsHaveNoPopup)
{
    UseViewer();
    Open();
    for (int id : {IDC_PIN, IDC_PROFILE_BUTTON, IDOK, IDCANCEL, static_cast<int>(ID_HELP_COMMAND),
                   IDC_PROFILE_LABEL, IDC_PIN_LABEL}) {
        EXPECT_EQ("", WhatsThis(id)) << id;
        EXPECT_FALSE(HelpInfoFor(id)) << id;
    }
    // Nor has the window's background.
    HELPINFO background{HELPINFO_WINDOW, -1, dialog->GetSafeHwnd(), QPoint()};
    EXPECT_FALSE(dialog->OnHelpInfo(&background));
}

TEST_F(LoginHelpTest, ARequestThatIsNotForAControlDoesNothingAndAnswersTrue)
{
    Open();
    HELPINFO menuItem{HELPINFO_MENUITEM, static_cast<int>(ID_AUTO_EXIT), nullptr, QPoint()};
    EXPECT_TRUE(dialog->OnHelpInfo(&menuItem));
    EXPECT_TRUE(requests.empty());
}
