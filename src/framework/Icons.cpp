#include "Icons.h"

#include <res/Resources.h>

QIcon LoadIcon(unsigned id)
{
    QIcon icon;
    for (const std::string_view file : FindIconFiles(id))
        icon.addFile(QString::fromUtf8(file.data(), static_cast<qsizetype>(file.size())));
    return icon;
}
