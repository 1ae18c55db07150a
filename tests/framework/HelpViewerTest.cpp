#include "TestDialog.h"

#include <framework/HelpViewer.h>
#include <framework/HtmlHelp.h>

#include <TempDir.h>

#include <QTextBrowser>
#include <QWhatsThis>

#include <gtest/gtest.h>

namespace {

constexpr HelpIdPair kIds[] = {{kName, 3}, {kCombo, 4}, {0, 0}};

// A help book "book" in a temporary help directory, and a dialog to ask from.
class HelpViewerTest : public ::testing::Test {
protected:
    HelpViewerTest() : viewer(dir.Path())
    {
        std::filesystem::create_directories(dir.File("book/html"));
        WriteFile(dir.File("book/html/first.htm"), "<html><body><h1>First topic</h1></body></html>");
        WriteFile(dir.File("book/context.txt"), ".topic 3\nThe name of the thing.\n.topic 9\nUnused.\n");
        EXPECT_TRUE(dialog.Create());
    }
    ~HelpViewerTest() override { QWhatsThis::hideText(); }

    QWidget* Topic(const std::string& location)
    {
        return viewer.Show({dialog.GetSafeHwnd(), location, HH_DISPLAY_TOPIC, {}});
    }
    QWidget* Popup(int controlId)
    {
        return viewer.Show({dialog.GetControl(controlId), "book.chm::/context.txt", HH_TP_HELP_WM_HELP,
                            std::vector<HelpIdPair>(std::begin(kIds), std::end(kIds))});
    }
    static std::string Text(QWidget* window)
    {
        return qobject_cast<QTextBrowser*>(window)->toPlainText().toStdString();
    }

    TempDir dir;
    CHelpViewer viewer;
    CTestDialog dialog;
};

} // namespace

TEST_F(HelpViewerTest, ShowsATopicInOneHelpWindowOwnedByTheCaller)
{
    QWidget* window = Topic("book.chm::/html/first.htm");
    ASSERT_NE(nullptr, window);
    EXPECT_EQ("First topic", Text(window));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(dialog.GetSafeHwnd(), window->parentWidget());
    EXPECT_EQ(window, Topic("book.chm::/html/first.htm#part"));
    EXPECT_EQ("part", qobject_cast<QTextBrowser*>(window)->source().fragment().toStdString());
}

TEST_F(HelpViewerTest, AMissingTopicOrBookIsSaidInTheWindow)
{
    EXPECT_EQ("First topic", Text(Topic("book.chm::/html/first.htm")));
    const std::string missing = Text(Topic("book.chm::/html/none.htm"));
    EXPECT_NE(std::string::npos, missing.find("could not be found")) << missing;
    EXPECT_NE(std::string::npos, missing.find(dir.File("book/html/none.htm"))) << missing;
    EXPECT_NE(std::string::npos, Text(Topic("other.chm::/html/first.htm")).find("could not be found"));
    const std::string invalid = Text(Topic("book.chm::/../../etc/passwd"));
    EXPECT_NE(std::string::npos, invalid.find("book.chm::/../../etc/passwd")) << invalid;
    EXPECT_EQ(std::string::npos, invalid.find("root:")) << invalid;
    // The topic shown before the messages comes back.
    EXPECT_EQ("First topic", Text(Topic("book.chm::/html/first.htm")));
}

TEST_F(HelpViewerTest, APopupIsShownOnlyForAControlInTheList)
{
    QWidget* popup = Popup(kName);
    ASSERT_NE(nullptr, popup);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ("The name of the thing.", popup->accessibleName().toStdString());
    QWhatsThis::hideText();
    EXPECT_EQ(nullptr, Popup(kDigits));
    EXPECT_EQ(nullptr, Popup(kAction));
}

TEST_F(HelpViewerTest, AMissingPopupOrPopupFileIsSaidInThePopup)
{
    QWidget* popup = Popup(kCombo);
    ASSERT_NE(nullptr, popup);
    const std::string text = popup->accessibleName().toStdString();
    EXPECT_NE(std::string::npos, text.find("popup 4 is missing")) << text;
    std::filesystem::remove(dir.File("book/context.txt"));
    const std::string noFile = viewer.PopupText("book.chm::/context.txt", 3);
    EXPECT_NE(std::string::npos, noFile.find(dir.File("book/context.txt") + " cannot be read")) << noFile;
}

TEST(HtmlHelp, ARunnerReceivesTheRequestWithTheListUpToItsEnd)
{
    std::vector<HtmlHelpRequest> requests;
    const HtmlHelpRunner previous = SetHtmlHelpRunner([&](const HtmlHelpRequest& request) {
        requests.push_back(request);
        return nullptr;
    });
    constexpr HelpIdPair kWithTail[] = {{5, 6}, {0, 0}, {7, 8}};
    EXPECT_EQ(nullptr, HtmlHelp(nullptr, "book.chm::/context.txt", HH_TP_HELP_WM_HELP, kWithTail));
    SetHtmlHelpRunner(previous);
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ("book.chm::/context.txt", requests[0].location);
    EXPECT_EQ(HH_TP_HELP_WM_HELP, requests[0].command);
    ASSERT_EQ(2u, requests[0].ids.size());
    EXPECT_EQ(5, requests[0].ids[0].controlId);
    EXPECT_EQ(6u, requests[0].ids[0].popupId);
}
