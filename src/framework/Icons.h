#pragma once

#include <QIcon>

// Icon `id` of the program's resources; a null icon for an unknown one.
QIcon LoadIcon(unsigned id);
