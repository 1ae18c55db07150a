// Notepad: a minimal text editor for the file named on its command line; Trevalo's Test Script
// shows the rewritten login script in it.
#include "NotepadWindow.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kUsage =
    "Usage: Notepad [FILE]\n"
    "  or:  Notepad --help | --version\n"
    "\n"
    "A plain text editor for one file. It shows FILE (a missing FILE is made by the first\n"
    "save), saves it with File > Save and, when its window is closed with unsaved changes,\n"
    "asks whether to save them. Trevalo's Test Script shows the rewritten login script in it.\n";

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
    const QStringList arguments = QApplication::arguments();
    NotepadWindow window(arguments.size() > 1 ? arguments.at(1) : QString());
    window.show();
    return QApplication::exec();
}
