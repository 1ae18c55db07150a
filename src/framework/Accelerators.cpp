#include "Accelerators.h"

#include "Dialog.h"

#include <QKeyEvent>
#include <QWidget>

bool TranslateAccelerator(CDialog& target, const AcceleratorTable& table, QKeyEvent* message)
{
    const unsigned modifiers =
        static_cast<unsigned>(message->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    for (const AcceleratorEntry& entry : table.entries) {
        if (entry.key != message->key() || entry.modifiers != modifiers)
            continue;
        message->accept();
        // A key that presses a control does nothing while that control is disabled.
        const QWidget* control = target.GetControl(static_cast<int>(entry.command));
        if (message->type() == QEvent::KeyPress && (!control || control->isEnabled()))
            target.SendCommand(entry.command);
        return true;
    }
    return false;
}
