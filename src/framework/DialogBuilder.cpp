#include "DialogBuilder.h"

#include "ControlLabels.h"
#include "Icons.h"
#include "Wnd.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QStyle>

#include <algorithm>
#include <charconv>
#include <vector>

CDialogUnits::CDialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    static const QString kAlphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_baseX = metrics.horizontalAdvance(kAlphabet) / 52.0;
    m_baseY = metrics.height();
}

namespace {

QString ToQt(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QWidget* CreateControl(const ControlTemplate& control, QDialog& dialog)
{
    const QString text = ToQt(control.text);
    switch (control.kind) {
    case ControlKind::Static: {
        auto* label = new QLabel(text, &dialog);
        label->setAlignment((control.style & SS_RIGHT ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case ControlKind::Icon: {
        // The text names the icon resource.
        unsigned iconId = 0;
        std::from_chars(control.text.data(), control.text.data() + control.text.size(), iconId);
        const QIcon icon = LoadIcon(iconId);
        auto* label = new QLabel(&dialog);
        label->setPixmap((icon.isNull() ? QApplication::windowIcon() : icon).pixmap(64, 64));
        label->setScaledContents(true);
        return label;
    }
    case ControlKind::PushButton:
    case ControlKind::DefPushButton: {
        auto* button = new QPushButton(text, &dialog);
        button->setAutoDefault(false);
        return button;
    }
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(&dialog);
        if (control.style & ES_PASSWORD)
            edit->setEchoMode(QLineEdit::Password);
        edit->setFrame(control.style & WS_BORDER);
        return edit;
    }
    case ControlKind::DropDownList: {
        auto* combo = new QComboBox(&dialog);
        // The items are texts alone: a string list holds thousands of them in half the memory
        // of the default item model, and takes them in half the time.
        combo->setModel(new QStringListModel(combo));
        combo->setEditable(false);
        combo->setProperty("sorted", (control.style & CBS_SORT) != 0);
        combo->setMaxVisibleItems(8);
        return combo;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(text, &dialog);
    case ControlKind::GroupBox:
        return new QGroupBox(text, &dialog);
    }
    return nullptr;
}

void Place(QWidget* widget, const ControlTemplate& control, const CDialogUnits& units)
{
    int height = units.Y(control.cy);
    // A drop-down list's template height includes its open list.
    if (control.kind == ControlKind::DropDownList)
        height = std::min(height, widget->sizeHint().height());
    widget->setGeometry(units.X(control.x), units.Y(control.y), units.X(control.cx), height);
}

// The width a control's text needs, or 0 for a control without text of its own.
int NeededWidth(const QWidget* widget, const CDialogUnits& units)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        if (label->text().isEmpty())
            return 0;
        const QString shown = label->buddy() ? QString(label->text()).remove(QLatin1Char('&')) : label->text();
        return label->fontMetrics().horizontalAdvance(shown) + 1;
    }
    if (const auto* button = qobject_cast<const QPushButton*>(widget))
        return button->fontMetrics().horizontalAdvance(QString(button->text()).remove(QLatin1Char('&'))) + units.X(8);
    if (qobject_cast<const QCheckBox*>(widget))
        return widget->sizeHint().width();
    return 0;
}

// How much wider the layout must be for every text to fit, at most by half.
double WideningFor(const DialogTemplate& dialogTemplate, const std::vector<QWidget*>& widgets,
                   const CDialogUnits& units)
{
    double factor = 1.0;
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        const int available = units.X(dialogTemplate.controls[i].cx);
        if (available > 0)
            factor = std::max(factor, static_cast<double>(NeededWidth(widgets[i], units)) / available);
    }
    return std::min(factor, 1.5);
}

bool TakesFocus(const ControlTemplate& control)
{
    return (control.style & WS_TABSTOP) != 0;
}

} // namespace

std::map<int, QWidget*> BuildDialogControls(const DialogTemplate& dialogTemplate, QDialog& dialog)
{
    CDialogUnits units(dialog.font());
    std::map<int, QWidget*> byId;
    std::vector<QWidget*> widgets;
    QWidget* previousTabStop = nullptr;
    for (const ControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = CreateControl(control, dialog);
        SetControlId(widget, control.id);
        widget->setFocusPolicy(TakesFocus(control) ? Qt::StrongFocus : Qt::NoFocus);
        if (TakesFocus(control)) {
            if (previousTabStop)
                QWidget::setTabOrder(previousTabStop, widget);
            previousTabStop = widget;
        }
        if (control.id != IDC_STATIC)
            byId[control.id] = widget;
        widgets.push_back(widget);
    }
    LinkLabels(dialogTemplate, widgets);
    units.Widen(WideningFor(dialogTemplate, widgets, units));
    for (std::size_t i = 0; i < widgets.size(); ++i)
        Place(widgets[i], dialogTemplate.controls[i], units);
    dialog.setFixedSize(units.X(dialogTemplate.cx), units.Y(dialogTemplate.cy));
    return byId;
}
