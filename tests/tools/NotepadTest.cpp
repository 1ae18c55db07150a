#include <NotepadWindow.h>

#include <TempDir.h>

#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

// Test Script shows the rewritten script read-only: whatever the user tries there, nothing of it
// reaches the file, which the run puts back the user's text into.
TEST(NotepadTest, ReadOnlyShowsTheFileAndNeverWritesIt)
{
    TempDir dir;
    const std::string path = dir.File("login.scp");
    WriteFile(path, "password: 1234567890\n");
    NotepadWindow window(QString::fromStdString(path), true);
    window.show();
    auto* editor = window.findChild<QPlainTextEdit*>();
    ASSERT_NE(nullptr, editor);
    EXPECT_EQ("password: 1234567890\n", editor->toPlainText().toStdString());
    EXPECT_EQ("login.scp (read-only) - Notepad", window.windowTitle().toStdString());

    WriteFile(path, "the user's text\n"); // the run ends and puts it back
    QTest::keyClicks(editor, "typed");
    QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
    window.close();
    EXPECT_EQ("password: 1234567890\n", editor->toPlainText().toStdString());
    EXPECT_EQ("the user's text\n", ReadFile(path));
}
