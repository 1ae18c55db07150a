#pragma once

#include "AcceleratorResource.h"
#include "DialogTemplate.h"
#include "MenuResource.h"

#include <span>
#include <string_view>

// The program's resources by identifier; null for an unknown one.
const DialogTemplate* FindDialogTemplate(unsigned id);
const MenuResource* FindMenuResource(unsigned id);
const AcceleratorTable* FindAcceleratorTable(unsigned id);
// The image files of icon `id`, one per size, as Qt resource paths; empty for an unknown icon.
std::span<const std::string_view> FindIconFiles(unsigned id);
