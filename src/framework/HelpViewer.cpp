#include "HelpViewer.h"

#include "Wnd.h"

#include <platform/ContextPopups.h>
#include <platform/HelpLocation.h>

#include <QApplication>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QWhatsThis>

namespace {

constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 600;

QString ToQt(const std::string& text)
{
    return QString::fromStdString(text);
}

QString MissingTopicPage(const std::string& location, const std::filesystem::path& file)
{
    QString page =
        QStringLiteral("<h2>Help is not available</h2><p>The help topic <b>%1</b> could not be found.</p>")
            .arg(ToQt(location).toHtmlEscaped());
    if (!file.empty())
        page += QStringLiteral("<p>It should be the file <tt>%1</tt>. Installing Trevalo again puts the help "
                               "files back.</p>")
                    .arg(ToQt(file.string()).toHtmlEscaped());
    return page;
}

} // namespace

CHelpViewer::CHelpViewer(std::filesystem::path helpDirectory) : m_helpDirectory(std::move(helpDirectory)) {}

QWidget* CHelpViewer::Show(const HtmlHelpRequest& request)
{
    if (request.command == HH_DISPLAY_TOPIC)
        return DisplayTopic(request.caller, request.location);
    if (request.command == HH_TP_HELP_WM_HELP)
        return ShowPopup(request.caller, request.location, request.ids);
    if (request.command == HH_DESCRIBE_CONTROLS && request.caller)
        DescribeControls(request.caller, request.location, request.ids);
    return nullptr;
}

QTextBrowser& CHelpViewer::Window(QWidget* caller)
{
    QWidget* owner = caller ? caller->window() : nullptr;
    if (!m_window) {
        m_window = new QTextBrowser(owner);
        m_window->setWindowFlags(Qt::Window);
        m_window->setWindowTitle(QStringLiteral("Trevalo Help"));
        m_window->setOpenExternalLinks(true);
        m_window->resize(kWindowWidth, kWindowHeight);
    } else if (m_window->parentWidget() != owner) {
        m_window->setParent(owner, Qt::Window);
    }
    return *m_window;
}

QWidget* CHelpViewer::DisplayTopic(QWidget* caller, const std::string& location)
{
    QTextBrowser& window = Window(caller);
    const std::optional<CHelpLocation> parsed = CHelpLocation::Parse(location);
    const std::filesystem::path file = parsed ? parsed->PathUnder(m_helpDirectory) : std::filesystem::path();
    std::error_code error;
    if (parsed && std::filesystem::is_regular_file(file, error)) {
        QUrl url = QUrl::fromLocalFile(ToQt(file.string()));
        if (!parsed->Fragment().empty())
            url.setFragment(ToQt(parsed->Fragment()));
        window.setSource(url);
    } else {
        window.setHtml(MissingTopicPage(location, file));
    }
    window.show();
    window.raise();
    window.activateWindow();
    return &window;
}

QWidget* CHelpViewer::ShowPopup(QWidget* caller, const std::string& location,
                                const std::vector<HelpIdPair>& ids)
{
    if (!caller)
        return nullptr;
    const int controlId = ControlIdOf(caller);
    for (const HelpIdPair& pair : ids) {
        if (pair.controlId == 0 && pair.popupId == 0)
            break;
        if (pair.controlId != controlId)
            continue;
        const QPoint below = caller->mapToGlobal(QPoint(caller->width() / 2, caller->height()));
        const QString text = ToQt(PopupText(location, pair.popupId));
        QWhatsThis::showText(below, Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal), caller);
        QWidget* popup = QApplication::activePopupWidget();
        // Screen readers read the popup's text from its name.
        if (popup)
            popup->setAccessibleName(text);
        return popup;
    }
    return nullptr;
}

// Without its help a control is better undescribed than described by a complaint.
void CHelpViewer::DescribeControls(QWidget* dialog, const std::string& location,
                                   const std::vector<HelpIdPair>& ids) const
{
    const std::optional<CHelpLocation> parsed = CHelpLocation::Parse(location);
    CContextPopups popups;
    if (!parsed || !popups.Load(parsed->PathUnder(m_helpDirectory).string()))
        return;
    for (QWidget* control : dialog->findChildren<QWidget*>()) {
        const int controlId = ControlIdOf(control);
        for (const HelpIdPair& pair : ids) {
            if (pair.controlId == 0 && pair.popupId == 0)
                break;
            if (pair.controlId != controlId)
                continue;
            if (const std::string* text = popups.Find(pair.popupId))
                control->setAccessibleDescription(ToQt(*text));
        }
    }
}

std::string CHelpViewer::PopupText(const std::string& location, unsigned popupId) const
{
    const std::optional<CHelpLocation> parsed = CHelpLocation::Parse(location);
    if (!parsed)
        return "The help location \"" + location + "\" is not valid.";
    const std::string file = parsed->PathUnder(m_helpDirectory).string();
    CContextPopups popups;
    if (!popups.Load(file))
        return "No help text can be shown: the file " + file + " cannot be read.";
    const std::string* text = popups.Find(popupId);
    if (!text || text->empty())
        return "No help text is available for this item (popup " + std::to_string(popupId) +
               " is missing from " + file + ").";
    return *text;
}
