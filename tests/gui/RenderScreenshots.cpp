// Renders the login window in its typical states and its icon, its system menu and a What's This popup, the
// About box, the passphrase prompt, the profile editor's pages, the browse dialog and the help
// window to PNG files, offscreen, on a throw-away hive, peers directory and token service.
//
//   render_screenshots OUTPUT_DIRECTORY
#include "LoginWindowFixture.h"

#include <app/AboutDlg.h>
#include <editor/ProfilePropertySheet.h>
#include <framework/FileDialog.h>
#include <framework/Icons.h>
#include <framework/HtmlHelp.h>
#include <profiles/AppSettings.h>
#include <profiles/RegistryKey.h>
#include <res/HelpTopics.h>
#include <res/resource.h>
#include <token/PassphraseDlg.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QWhatsThis>

#include <cstdio>
#include <functional>
#include <string>

namespace {

QString g_output;

void SavePixmap(const QPixmap& pixmap, const char* name)
{
    const QString path = g_output + "/" + name + ".png";
    if (!pixmap.save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

void Save(QWidget* window, const char* name)
{
    window->adjustSize();
    SavePixmap(window->grab(), name);
}

// `window` with `popup` drawn over it at `offset` from the window's top-left corner.
void SaveWithPopup(QWidget* window, QWidget* popup, QPoint offset, const char* name)
{
    const QPixmap below = window->grab();
    const QPixmap above = popup->grab();
    const QRect area = QRect(QPoint(0, 0), below.size()).united(QRect(offset, above.size()));
    QPixmap canvas(area.size());
    canvas.fill(Qt::darkGray);
    QPainter painter(&canvas);
    painter.drawPixmap(-area.topLeft(), below);
    painter.drawPixmap(offset - area.topLeft(), above);
    painter.end();
    SavePixmap(canvas, name);
}

// The fixture's set-up, used as a plain object here.
class Scene : public LoginWindowTest {
public:
    void TestBody() override {}
    using LoginWindowTest::AddPeer;
    using LoginWindowTest::AddProfile;
    using LoginWindowTest::Open;
    using LoginWindowTest::popups;
    using LoginWindowTest::SetDefaultProfile;
    using LoginWindowTest::dialog;
    using LoginWindowTest::dir;
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
    QWidget* window = scene.Open().GetSafeHwnd();
    Save(window, "login-usable-profile");
    // What the desktop shows in the window's title bar and task switcher.
    SavePixmap(window->windowIcon().pixmap(64, 64), "login-window-icon");
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

void SystemMenu()
{
    Scene scene;
    scene.tokens.tokens = {{"000123456789", "ann"}};
    scene.AddPeer("provider");
    scene.AddProfile("Office dial-in", "provider", "000123456789");
    scene.SetDefaultProfile("Office dial-in");
    CAppSettings::SaveAutoExit(true);
    CLoginDialog& dialog = scene.Open();
    QWidget* window = dialog.GetSafeHwnd();
    window->adjustSize();
    // A right click on the window's background, left of the instruction line; the fixture's
    // popup runner keeps the menu as it was shown.
    const QPoint click(12, 16);
    dialog.ShowSystemMenu(window->mapToGlobal(click));
    QMenu menu;
    FillQtMenu(*scene.popups.back(), menu);
    menu.adjustSize();
    SaveWithPopup(window, &menu, click, "login-system-menu");
}

void WhatsThisPopup()
{
    Scene scene;
    scene.tokens.tokens = {{"000123456789", "ann"}};
    scene.AddPeer("provider");
    scene.AddProfile("Office dial-in", "provider", "000123456789");
    scene.SetDefaultProfile("Office dial-in");
    CLoginDialog& dialog = scene.Open();
    QWidget* window = dialog.GetSafeHwnd();
    window->adjustSize();
    QWidget* token = dialog.GetControl(IDC_TOKEN_COMBO);
    QHelpEvent event(QEvent::WhatsThis, QPoint(4, 4), token->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(token, &event);
    if (QWidget* popup = QApplication::activePopupWidget())
        SaveWithPopup(window, popup, window->mapFromGlobal(popup->pos()), "login-whats-this");
    QWhatsThis::hideText();
}

void AboutBox()
{
    const ModalRunner previous = SetModalRunner([](CDialog& dialog) {
        Save(dialog.GetSafeHwnd(), "about-box");
        dialog.EndDialog(IDOK);
    });
    CAboutDlg about;
    about.DoModal();
    SetModalRunner(previous);
}

void HelpWindow(std::string_view topic, const char* name)
{
    if (QWidget* window = HtmlHelp(nullptr, topic, HH_DISPLAY_TOPIC))
        SavePixmap(window->grab(), name);
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

// Opens the profile editor with `command` and renders both pages, named after `prefix`; `more`
// may act on the open sheet before it is cancelled.
void RenderSheet(Scene& scene, unsigned command, const char* prefix,
                 const std::function<void(CProfilePropertySheet&)>& more = {})
{
    const ModalRunner previous = SetModalRunner([&](CDialog& dialog) {
        auto& sheet = dynamic_cast<CProfilePropertySheet&>(dialog);
        Save(sheet.GetSafeHwnd(), (std::string(prefix) + "-general").c_str());
        sheet.SetActivePage(&sheet.m_pageAdvanced);
        Save(sheet.GetSafeHwnd(), (std::string(prefix) + "-advanced").c_str());
        if (more)
            more(sheet);
        sheet.EndDialog(IDCANCEL);
    });
    scene.dialog->SendCommand(command);
    SetModalRunner(previous);
}

void NewProfile()
{
    Scene scene;
    scene.tokens.tokens = {{"000123456789", "ann"}, {"000987654321", "bob"}};
    scene.AddPeer("provider");
    CRegistryKey settings(IDS_REG_SETTINGS_KEY);
    settings.WriteString(IDS_REG_NEW_PROFILE_LOGIN_APP_PATH, "/opt/dialer/bin/dialer");
    settings.WriteString(IDS_REG_NEW_PROFILE_SCRIPT_PATH, "/opt/dialer/scripts/login.scp");
    scene.Open();
    RenderSheet(scene, ID_PROFILE_NEW, "editor-new-profile");
}

// The edited profile, and the browse dialog opened from its Advanced page.
void EditedProfileAndBrowse()
{
    Scene scene;
    scene.tokens.tokens = {{"000123456789", "ann"}, {"000987654321", "bob"}};
    scene.AddPeer("provider");
    scene.AddPeer("campus");
    scene.AddProfile("Office dial-in", "provider", "000123456789", "ann.example", true);
    scene.SetDefaultProfile("Office dial-in");
    WriteFile(scene.dir.File("login.scp"), "transmit #$PASSCODE#$\n");
    WriteFile(scene.dir.File("backup.was"), "");
    scene.Open();
    const FileDialogRunner previous = SetFileDialogRunner([](CFileDialog& dialog) {
        QWidget* window = dialog.GetSafeHwnd();
        window->show();
        window->resize(640, 400);
        // The file list fills itself in the background.
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 500)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        window->grab().save(g_output + "/browse-script-file.png");
        std::printf("%s/browse-script-file.png\n", qPrintable(g_output));
        return std::string();
    });
    RenderSheet(scene, ID_PROFILE_EDIT, "editor-edited-profile", [](CProfilePropertySheet& sheet) {
        sheet.m_pageAdvanced.SendCommand(IDC_ADVANCED_BROWSE_SCRIPT_FILE);
    });
    SetFileDialogRunner(previous);
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
    SetProgramIcon(); // as the program's start does
    g_output = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_output);
    NoProfile();
    UsableProfile();
    ProfileNeedingUserId();
    SystemMenu();
    WhatsThisPopup();
    AboutBox();
    PassphrasePrompt();
    NewProfile();
    EditedProfileAndBrowse();
    HelpWindow(kHelpOverviewTopic, "help-overview");
    HelpWindow(kHelpProfileTopic, "help-profile");
    HelpWindow(std::string(kHelpProfileTopic) + "#placeholders", "help-profile-placeholders");
    return 0;
}
