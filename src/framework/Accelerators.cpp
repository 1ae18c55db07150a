#include "Accelerators.h"

#include "Dialog.h"

#include <QKeyEvent>

bool TranslateAccelerator(CDialog& target, const AcceleratorTable& table, QKeyEvent* message)
{
    const unsigned modifiers =
        static_cast<unsigned>(message->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    for (const AcceleratorEntry& entry : table.entries) {
        if (entry.key != message->key() || entry.modifiers != modifiers)
            continue;
        message->accept();
        if (message->type() == QEvent::KeyPress)
            target.SendCommand(entry.command);
        return true;
    }
    return false;
}
