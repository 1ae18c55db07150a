#pragma once

#include <res/AcceleratorResource.h>

class CDialog;
class QKeyEvent;

// Sends the command of the accelerator that matches `message` to `target`, and returns true:
// the key is consumed. A command that presses a control of `target` is not sent while that
// control is disabled. A shortcut check (ShortcutOverride) for such a key is only claimed, so
// that no control's own shortcut takes the key first.
bool TranslateAccelerator(CDialog& target, const AcceleratorTable& table, QKeyEvent* message);
