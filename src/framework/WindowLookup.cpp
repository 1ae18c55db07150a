#include "WindowLookup.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace {

class CQtFoundWindow : public CFoundWindow {
public:
    explicit CQtFoundWindow(QWidget* widget) : m_widget(widget) {}

    bool IsIconic() const override { return m_widget && m_widget->isMinimized(); }

    void OpenIcon() override
    {
        if (!m_widget)
            return;
        m_widget->setWindowState(m_widget->windowState() & ~Qt::WindowMinimized);
        m_widget->show();
        m_widget->activateWindow();
    }

    void BringWindowToTop() override
    {
        if (!m_widget)
            return;
        m_widget->raise();
        m_widget->activateWindow();
    }

private:
    QPointer<QWidget> m_widget;
};

// This process's own top-level windows.
std::unique_ptr<CFoundWindow> FindOwnWindow(const std::string& title)
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
        return nullptr;
    const QString wanted = QString::fromStdString(title);
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isWindow() && widget->windowTitle() == wanted)
            return std::make_unique<CQtFoundWindow>(widget);
    return nullptr;
}

WindowFinder& Finder()
{
    static WindowFinder finder;
    return finder;
}

} // namespace

std::unique_ptr<CFoundWindow> FindWindowByTitle(const std::string& title)
{
    return Finder() ? Finder()(title) : FindOwnWindow(title);
}

WindowFinder SetWindowFinder(WindowFinder finder)
{
    return std::exchange(Finder(), std::move(finder));
}
