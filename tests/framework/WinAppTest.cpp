#include <framework/WinApp.h>

#include <QApplication>
#include <QIcon>

#include <gtest/gtest.h>

namespace {

// Sees what the program has when its start-up begins, then ends at once.
class CIconApp : public CWinApp {
public:
    QIcon seen;

protected:
    bool InitInstance() override
    {
        seen = QApplication::windowIcon();
        return false;
    }
};

} // namespace

// The desktop shows the program's icon in title bars and the task switcher from the first window on.
TEST(WinApp, EveryWindowShowsTheProgramsIconFromTheStart)
{
    CIconApp app;
    EXPECT_EQ(0, app.Run(*qApp));
    const QList<QSize> sizes = app.seen.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)) && sizes.contains(QSize(64, 64))) << sizes.size();
}
