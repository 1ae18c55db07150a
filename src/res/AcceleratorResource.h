#pragma once

#include <span>

// An accelerator: a key (Qt key code) with modifiers (Qt keyboard modifier bits) and the
// command it sends.
struct AcceleratorEntry {
    int key;
    unsigned modifiers;
    unsigned command;
};

struct AcceleratorTable {
    unsigned id;
    std::span<const AcceleratorEntry> entries;
};
