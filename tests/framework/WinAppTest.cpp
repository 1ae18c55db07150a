#include <framework/NestedLoops.h>
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

// Opens a nested loop's gate before and after it asks for the program's end.
class CEndingApp : public CWinApp {
public:
    bool mayOpenBefore = false;
    bool mayOpenAfter = true;

protected:
    bool InitInstance() override
    {
        mayOpenBefore = CModalGate().MayOpen();
        RequestEnd(4);
        mayOpenAfter = CModalGate().MayOpen();
        return true;
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

// A box or menu opened once the end is requested would hold the program up: none may open.
TEST(WinApp, NoNestedLoopOpensOnceTheEndIsRequested)
{
    CEndingApp app;
    EXPECT_EQ(4, app.Run(*qApp));
    EXPECT_TRUE(app.mayOpenBefore);
    EXPECT_FALSE(app.mayOpenAfter);
    ReopenNestedLoops(); // for the tests after this one
}
