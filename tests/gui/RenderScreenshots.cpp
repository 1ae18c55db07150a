// Renders the login window in its typical states and the passphrase prompt to PNG files, offscreen,
// on a throw-away hive, peers directory and token service.
//
//   render_screenshots OUTPUT_DIRECTORY
#include "LoginWindowFixture.h"

#include <token/PassphraseDlg.h>

#include <QApplication>
#include <QDir>
#include <QPixmap>

#include <cstdio>

namespace {

QString g_output;

void Save(QWidget* window, const char* name)
{
    window->adjustSize();
    const QString path = g_output + "/" + name + ".png";
    if (!window->grab().save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

// The fixture's set-up, used as a plain object here.
class Scene : public LoginWindowTest {
public:
    void TestBody() override {}
    using LoginWindowTest::AddPeer;
    using LoginWindowTest::AddProfile;
    using LoginWindowTest::Open;
    using LoginWindowTest::SetDefaultProfile;
    using LoginWindowTest::tokens;
};

void NoProfile()
{
    Scene scene;
    scene.tokens.tokens = {{"000123456789", "ann"}};
    Save(scene.Open().GetSafeHwnd(), "login-no-profile");
}

void UsableProfile()
{
    Scene scene;
    scene.tokens.tokens = {{"000123456789", "ann"}, {"000987654321", "bob"}};
    scene.AddPeer("provider");
    scene.AddProfile("Office dial-in", "provider", "000123456789");
    scene.SetDefaultProfile("Office dial-in");
    Save(scene.Open().GetSafeHwnd(), "login-usable-profile");
}

void ProfileNeedingUserId()
{
    Scene scene;
    scene.tokens.tokens = {{"000123456789", "ann"}};
    scene.AddPeer("provider");
    scene.AddProfile("Campus", "provider", "000123456789", "ann.example", true);
    scene.SetDefaultProfile("Campus");
    Save(scene.Open().GetSafeHwnd(), "login-user-id");
}

void PassphrasePrompt()
{
    const ModalRunner previous = SetModalRunner([](CDialog& dialog) {
        Save(dialog.GetSafeHwnd(), "passphrase-prompt");
        dialog.EndDialog(IDCANCEL);
    });
    CPassphraseDlg prompt;
    prompt.DoModal();
    SetModalRunner(previous);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_screenshots OUTPUT_DIRECTORY\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    g_output = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_output);
    NoProfile();
    UsableProfile();
    ProfileNeedingUserId();
    PassphrasePrompt();
    return 0;
}
