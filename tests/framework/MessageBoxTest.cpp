#include <framework/MessageBox.h>
#include <res/resource.h>

#include <MessageBoxRecorder.h>

#include <gtest/gtest.h>

TEST(MessageBox, IsCaptionedWithTheApplicationTitle)
{
    SetAppTitle("Talvex Kelvane Trevalo");
    MessageBoxRecorder boxes;
    EXPECT_EQ(IDOK, AfxMessageBox("Hello"));
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("Talvex Kelvane Trevalo", boxes.Boxes()[0].caption);
    EXPECT_EQ("Hello", boxes.Boxes()[0].text);
}

TEST(MessageBox, GivesTheExclamationIconWhenNoneIsNamed)
{
    MessageBoxRecorder boxes;
    AfxMessageBox("a");
    AfxMessageBox("b", MB_YESNO | MB_ICONQUESTION);
    AfxMessageBox("c", MB_OK | MB_ICONHAND);
    AfxMessageBox("d", MB_YESNO);
    ASSERT_EQ(4u, boxes.Boxes().size());
    EXPECT_EQ(MB_OK | MB_ICONEXCLAMATION, boxes.Boxes()[0].type);
    EXPECT_EQ(MB_YESNO | MB_ICONQUESTION, boxes.Boxes()[1].type);
    EXPECT_EQ(MB_OK | MB_ICONHAND, boxes.Boxes()[2].type);
    EXPECT_EQ(MB_YESNO | MB_ICONEXCLAMATION, boxes.Boxes()[3].type);
}

TEST(MessageBox, ShowsStringTableTextsAndReturnsTheAnswer)
{
    MessageBoxRecorder boxes;
    boxes.QueueAnswer(IDYES);
    EXPECT_EQ(IDYES, AfxMessageBox(IDS_CANNOT_FIND_SCRIPT, MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(IDNO, AfxMessageBox(IDS_CANNOT_FIND_SCRIPT, MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(IDCANCEL, AfxMessageBox(99999u));
    EXPECT_EQ((std::vector<std::string>{"Cannot find the script file.", "Cannot find the script file."}),
              boxes.Texts());
}

TEST(MessageBox, RecordersNestAndRestoreThePreviousResponder)
{
    MessageBoxRecorder outer;
    {
        MessageBoxRecorder inner;
        AfxMessageBox("inner");
        EXPECT_EQ(1u, inner.Boxes().size());
    }
    AfxMessageBox("outer");
    EXPECT_EQ((std::vector<std::string>{"outer"}), outer.Texts());
}
