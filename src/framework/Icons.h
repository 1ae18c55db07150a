#pragma once

#include <QIcon>

// Icon `id` of the program's resources; a null icon for an unknown one.
QIcon LoadIcon(unsigned id);

// Every window of the program, message boxes too, shows the main window class's icon
// (IDR_MAINFRAME) from now on.
void SetProgramIcon();
