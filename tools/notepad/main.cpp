// Notepad: a minimal text editor for the file named on its command line; Trevalo's Test Script
// shows the rewritten login script in it.
#include "NotepadWindow.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kUsage = "Usage: Notepad [--read-only] [FILE]\n"
                               "  or:  Notepad --help | --version\n"
                               "\n"
                               "A plain text editor for one file. It shows FILE (a missing FILE is made by the first\n"
                               "save), saves it with File > Save and, when its window is closed with unsaved changes,\n"
                               "asks whether to save them.\n"
                               "\n"
                               "  --read-only  show FILE only: its text cannot be changed and there is no Save; the\n"
                               "               title says read-only. Trevalo's Test Script shows the rewritten login\n"
                               "               script this way, so its passcodes can never be saved over your own\n"
                               "               script: to change the script, edit your own file.\n";

} // namespace

int main(int argc, char** argv)
{
    // Answered before QApplication, which needs a display.
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("Notepad (Trevalo) " TREVALO_VERSION);
        return 0;
    }
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments().mid(1);
    const bool readOnly = !arguments.isEmpty() && arguments.first() == QLatin1String("--read-only");
    if (readOnly)
        arguments.removeFirst();
    NotepadWindow window(arguments.isEmpty() ? QString() : arguments.first(), readOnly);
    window.show();
    return QApplication::exec();
}
