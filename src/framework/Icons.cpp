#include "Icons.h"

#include <res/Resources.h>
#include <res/resource.h>

#include <QApplication>

QIcon LoadIcon(unsigned id)
{
    QIcon icon;
    for (const std::string_view file : FindIconFiles(id))
        icon.addFile(QString::fromUtf8(file.data(), static_cast<qsizetype>(file.size())));
    return icon;
}

void SetProgramIcon()
{
    QApplication::setWindowIcon(LoadIcon(IDR_MAINFRAME));
}
