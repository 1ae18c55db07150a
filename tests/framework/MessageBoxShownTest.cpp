#include <framework/MessageBox.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

// Messages quote what users typed (profile names, paths): the box shows it, never renders it.
TEST(MessageBoxShown, ShowsItsTextAsTyped)
{
    const QString typed = QStringLiteral("Profile <i>Home<br>x & <b>y</b>");
    QString shown;
    QTimer::singleShot(0, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(nullptr, box);
        const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(nullptr, label);
        EXPECT_EQ(Qt::PlainText, label->textFormat());
        shown = label->text();
        box->accept();
    });
    EXPECT_EQ(IDOK, AfxMessageBox(typed.toStdString(), MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(typed, shown);
}
