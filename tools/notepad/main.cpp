// Notepad: a minimal text editor for the file named on its command line; Trevalo's Test Script
// shows the rewritten login script in it.
#include "NotepadWindow.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    NotepadWindow window(arguments.size() > 1 ? arguments.at(1) : QString());
    window.show();
    return QApplication::exec();
}
