#pragma once

#include <res/DialogTemplate.h>

#include <QSize>

#include <map>

class QDialog;
class QFont;
class QWidget;

// Converts dialog units to pixels for a font: x by a quarter of its average character width,
// y by an eighth of its height.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);
    int X(int units) const { return static_cast<int>(units * m_baseX / 4 + 0.5); }
    int Y(int units) const { return (units * m_baseY + 4) / 8; }
    // Makes every horizontal unit `factor` times as wide.
    void Widen(double factor) { m_baseX *= factor; }

private:
    double m_baseX;
    int m_baseY;
};

// Builds the controls of a template into `dialog`: positions from dialog units, the tab order of
// the template, each label linked to the control it labels (LinkLabels). A font whose texts
// run wider than the template allows widens the whole layout evenly, so nothing is clipped.
// Returns the widgets by control id (controls without an id are not listed).
std::map<int, QWidget*> BuildDialogControls(const DialogTemplate& dialogTemplate, QDialog& dialog);
