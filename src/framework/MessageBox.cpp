#include "MessageBox.h"

#include "NestedLoops.h"
#include "StringTable.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include <cstdio>

namespace {

std::string& Title()
{
    static std::string title;
    return title;
}

QMessageBox::Icon QtIcon(unsigned type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::Warning;
    }
}

int ShowQtMessageBox(const MessageBoxRequest& request, CModalGate& gate)
{
    const unsigned buttons = request.type & MB_TYPEMASK;
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        // No GUI (a command-line tool): say it on the terminal and take the safe answer.
        std::fprintf(stderr, "%s: %s\n", request.caption.c_str(), request.text.c_str());
        return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDNO : IDOK;
    }
    QMessageBox box(QtIcon(request.type), QString::fromStdString(request.caption),
                    QString::fromStdString(request.text));
    // Messages quote names the user typed: "<i>Home" is shown as typed, never as markup.
    box.setTextFormat(Qt::PlainText);
    switch (buttons) {
    case MB_OKCANCEL:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MB_YESNO:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MB_YESNOCANCEL:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    gate.SetClose([&box] { box.done(QMessageBox::Cancel); });
    const int answer = box.exec();
    gate.SetClose({});
    switch (answer) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Cancel:
        return IDCANCEL;
    default:
        return IDOK;
    }
}

MessageBoxResponder& Responder()
{
    static MessageBoxResponder responder;
    return responder;
}

} // namespace

void SetAppTitle(std::string title)
{
    Title() = std::move(title);
}

const std::string& AppTitle()
{
    return Title();
}

int AfxMessageBox(std::string_view text, unsigned type)
{
    if ((type & MB_ICONMASK) == 0)
        type |= MB_ICONEXCLAMATION;
    const MessageBoxRequest request{Title(), std::string(text), type};
    CModalGate gate;
    if (!gate.MayOpen())
        return IDCANCEL;
    const int answer = Responder() ? Responder()(request) : ShowQtMessageBox(request, gate);
    return gate.WasClosed() ? IDCANCEL : answer;
}

int AfxMessageBox(unsigned idPrompt, unsigned type)
{
    std::string text;
    if (!LoadString(idPrompt, text))
        return IDCANCEL;
    return AfxMessageBox(text, type);
}

MessageBoxResponder SetMessageBoxResponder(MessageBoxResponder responder)
{
    return std::exchange(Responder(), std::move(responder));
}
