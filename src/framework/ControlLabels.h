#pragma once

#include <res/DialogTemplate.h>

#include <vector>

class QWidget;

// Pairs each label of a template with the control it labels: the nearest tab stop to its right
// on its row or, for a static label with none there, the nearest one below it. A static label's "&"
// mnemonic goes to that control (a label that labels nothing shows its text without the marker),
// and a control without text of its own (an edit, a list) gets the label's text as its
// accessible name; a check box names the field beside it the same way. `widgets` are the
// template's controls, in its order.
void LinkLabels(const DialogTemplate& dialogTemplate, const std::vector<QWidget*>& widgets);
