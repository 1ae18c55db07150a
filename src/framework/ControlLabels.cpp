#include "ControlLabels.h"

#include <QLabel>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace {

// A drop-down list's template height includes its open list; closed it is about this tall.
constexpr int kClosedListHeight = 14;

int Bottom(const ControlTemplate& control)
{
    return control.y + (control.kind == ControlKind::DropDownList ? std::min(control.cy, kClosedListHeight) : control.cy);
}

bool IsLabel(const ControlTemplate& control)
{
    return control.kind == ControlKind::Static || control.kind == ControlKind::CheckBox;
}

bool HasOwnText(const ControlTemplate& control)
{
    return control.kind != ControlKind::Edit && control.kind != ControlKind::DropDownList;
}

bool OnRowToTheRight(const ControlTemplate& label, const ControlTemplate& control)
{
    const int middle = label.y + label.cy / 2;
    return control.x >= label.x + label.cx && middle >= control.y && middle <= Bottom(control);
}

bool Below(const ControlTemplate& label, const ControlTemplate& control)
{
    return control.y >= label.y + label.cy && control.x < label.x + label.cx && control.x + control.cx > label.x;
}

// The nearest tab stop that `where` accepts, by `distance`; none when no tab stop is there.
template <typename Where, typename Distance>
std::optional<std::size_t> Nearest(const DialogTemplate& dialogTemplate, std::size_t label, Where where,
                                   Distance distance)
{
    const auto& controls = dialogTemplate.controls;
    std::optional<std::size_t> nearest;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (!(controls[i].style & WS_TABSTOP) || i == label || !where(controls[label], controls[i]))
            continue;
        if (!nearest || distance(controls[i]) < distance(controls[*nearest]))
            nearest = i;
    }
    return nearest;
}

QString WithoutMnemonic(const QString& text)
{
    return QString(text).replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&')).replace(
        QLatin1Char('\x01'), QLatin1Char('&'));
}

QString TextOf(const QWidget* widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    return widget->property("text").toString();
}

} // namespace

void LinkLabels(const DialogTemplate& dialogTemplate, const std::vector<QWidget*>& widgets)
{
    const auto& controls = dialogTemplate.controls;
    std::vector<std::optional<std::size_t>> labelled(controls.size());
    std::vector<bool> named(controls.size(), false);
    // Labels beside their control first: a label above claims only a control nobody else names.
    for (std::size_t i = 0; i < controls.size(); ++i)
        if (IsLabel(controls[i]))
            labelled[i] = Nearest(dialogTemplate, i, OnRowToTheRight, [](const ControlTemplate& c) { return c.x; });
    for (const auto& target : labelled)
        if (target)
            named[*target] = true;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].kind != ControlKind::Static || labelled[i])
            continue;
        labelled[i] = Nearest(dialogTemplate, i, Below, [](const ControlTemplate& c) { return c.y; });
        if (labelled[i] && named[*labelled[i]])
            labelled[i].reset();
    }

    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (!IsLabel(controls[i]))
            continue;
        const bool prefixed = controls[i].kind != ControlKind::Static || !(controls[i].style & SS_NOPREFIX);
        const QString text = TextOf(widgets[i]);
        const QString shown = prefixed ? WithoutMnemonic(text) : text;
        if (labelled[i] && !HasOwnText(controls[*labelled[i]]))
            widgets[*labelled[i]]->setAccessibleName(shown);
        auto* label = qobject_cast<QLabel*>(widgets[i]);
        if (!label || !prefixed || !text.contains(QLatin1Char('&')))
            continue;
        if (labelled[i])
            label->setBuddy(widgets[*labelled[i]]);
        else
            label->setText(shown);
    }
}
