#pragma once

#include "AcceleratorResource.h"
#include "DialogTemplate.h"
#include "MenuResource.h"

// The program's resources by identifier; null for an unknown one.
const DialogTemplate* FindDialogTemplate(unsigned id);
const MenuResource* FindMenuResource(unsigned id);
const AcceleratorTable* FindAcceleratorTable(unsigned id);
