#include <app/AboutDlg.h>
#include <framework/Icons.h>
#include <res/resource.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

// Runs the About box with `act` in place of the user and returns the code it ended with.
int RunAbout(CAboutDlg& about, const std::function<void(CDialog&)>& act)
{
    const ModalRunner previous = SetModalRunner(act);
    const int result = about.DoModal();
    SetModalRunner(previous);
    return result;
}

QLabel* LabelWithText(CDialog& dialog, const QString& text)
{
    for (QLabel* label : dialog.GetSafeHwnd()->findChildren<QLabel*>())
        if (label->text() == text)
            return label;
    return nullptr;
}

} // namespace

TEST(AboutDlg, ShowsNameVersionNoticeAndIconAndEndsWithOk)
{
    CAboutDlg about;
    std::string caption;
    std::string version;
    bool haveName = false;
    bool haveNotice = false;
    bool haveIcon = false;
    const int result = RunAbout(about, [&](CDialog& dialog) {
        caption = dialog.GetWindowText();
        version = dialog.GetDlgItem(IDC_VERSION)->GetWindowText();
        haveName = LabelWithText(dialog, "Talvex Kelvane Trevalo") != nullptr;
        haveNotice = LabelWithText(dialog, "Copyright (C) 2026 Talvex Vediredo") != nullptr;
        for (QLabel* label : dialog.GetSafeHwnd()->findChildren<QLabel*>())
            haveIcon = haveIcon || !label->pixmap().isNull();
        EXPECT_EQ(IDOK, dialog.GetDefID());
        QTest::mouseClick(dialog.GetControl(IDOK), Qt::LeftButton);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("About Talvex Kelvane Trevalo", caption);
    EXPECT_EQ("Version 3.0.1 [004]", version);
    EXPECT_EQ("Version 3.0.1 [004]", about.m_strVersion);
    EXPECT_TRUE(haveName);
    EXPECT_TRUE(haveNotice);
    EXPECT_TRUE(haveIcon);
}

TEST(AboutDlg, EscAndTheCloseBoxEndItToo)
{
    CAboutDlg about;
    EXPECT_EQ(IDCANCEL, RunAbout(about, [](CDialog& dialog) {
                  QTest::keyClick(dialog.GetControl(IDOK), Qt::Key_Escape);
              }));
    CAboutDlg again;
    EXPECT_EQ(IDCANCEL, RunAbout(again, [](CDialog& dialog) { dialog.GetSafeHwnd()->close(); }));
}

// Loading an image format plugin costs a start several of them: the icon needs none.
TEST(AboutDlg, TheProgramIconComesInTwoSizesWithoutImageFormatPlugins)
{
    const QIcon icon = LoadIcon(IDR_MAINFRAME);
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ((QList<QSize>{QSize(32, 32), QSize(64, 64)}), icon.availableSizes());
    EXPECT_TRUE(LoadIcon(1).isNull());
    std::ifstream maps("/proc/self/maps");
    const std::string mapped((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
    EXPECT_EQ(std::string::npos, mapped.find("/imageformats/"));
}
