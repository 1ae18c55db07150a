#include "Icons.h"

#include <res/Resources.h>
#include <res/resource.h>

#include <QApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>

QIcon LoadIcon(unsigned id)
{
    QIcon icon;
    for (const std::string_view file : FindIconFiles(id)) {
        const QString name = QString::fromUtf8(file.data(), static_cast<qsizetype>(file.size()));
        // Read as the format its suffix names, without guessing: a guessing reader loads every
        // image format plugin of the system to ask each whether it knows the file.
        QImageReader reader(name, QFileInfo(name).suffix().toLatin1());
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

void SetProgramIcon()
{
    QApplication::setWindowIcon(LoadIcon(IDR_MAINFRAME));
}
