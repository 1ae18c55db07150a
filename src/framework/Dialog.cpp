#include "Dialog.h"

#include "DataExchange.h"
#include "DialogBuilder.h"
#include "MessageBox.h"
#include "NestedLoops.h"
#include "WinApp.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWhatsThis>

// The Qt window of a dialog. Once the dialog lets go of it (Detach), nothing it does reaches
// the dialog any more. Everything it passes on runs as a handler of the dialog, so the dialog
// cannot be freed under it.
class CDialogWindow : public QDialog {
public:
    CDialogWindow(CDialog& owner, QWidget* parent, bool child) : QDialog(parent), m_owner(&owner), m_child(child) {}
    CDialog* Owner() const { return m_owner; }
    void Detach() { m_owner = nullptr; }

    template <class Handler> void Reach(Handler handler)
    {
        if (!m_owner)
            return;
        const CHandlerScope scope;
        handler(*m_owner);
    }

    void Command(int id)
    {
        Reach([id](CDialog& dialog) { dialog.SendCommand(static_cast<unsigned>(id)); });
    }

    void Notify(Notification code, int id)
    {
        Reach([code, id](CDialog& dialog) { dialog.Dispatch(code, id); });
    }

    void FocusFirstTabStop() { focusNextChild(); }

    void Timer(unsigned id)
    {
        Reach([id](CDialog& dialog) { dialog.OnTimer(id); });
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        // A child's Enter and Esc belong to the window around it.
        if (m_child)
            QWidget::keyPressEvent(event);
        else
            QDialog::keyPressEvent(event);
    }

    bool event(QEvent* event) override
    {
        // In What's This mode every control of the dialog may be asked about.
        if (event->type() == QEvent::QueryWhatsThis) {
            event->setAccepted(m_owner != nullptr);
            return true;
        }
        if (event->type() == QEvent::WhatsThis && m_owner) {
            // One click answers one question, as a popup shown by Qt itself would.
            event->accept();
            QWhatsThis::leaveWhatsThisMode();
            const auto* help = static_cast<QHelpEvent*>(event);
            Reach([help](CDialog& dialog) { dialog.RequestContextHelp(help->pos(), help->globalPos()); });
            return true;
        }
        return QDialog::event(event);
    }

    // A right click on the dialog's background or a label, or the menu key, opens the system menu;
    // a property page inside its sheet leaves that to the sheet.
    void contextMenuEvent(QContextMenuEvent* event) override
    {
        if (m_child) {
            event->ignore();
            return;
        }
        QWidget* child = childAt(event->pos());
        const bool onBackground = !child || qobject_cast<QLabel*>(child);
        if (event->reason() != QContextMenuEvent::Mouse || onBackground)
            Reach([event](CDialog& dialog) { dialog.ShowSystemMenu(event->globalPos()); });
    }

    void closeEvent(QCloseEvent* event) override
    {
        // The close box is the Cancel command; the dialog decides whether it goes.
        event->ignore();
        if (m_owner)
            m_owner->SendCommand(IDCANCEL);
    }

    void reject() override
    {
        if (m_owner)
            m_owner->SendCommand(IDCANCEL);
    }

private:
    CDialog* m_owner;
    bool m_child;
};

namespace {

// Routes each key press to the PreTranslateMessage of the dialog whose control has the focus,
// before the control sees it.
class KeyRouter : public QObject {
public:
    static void Install()
    {
        static KeyRouter* router = nullptr;
        if (!router) {
            router = new KeyRouter(qApp);
            qApp->installEventFilter(router);
        }
    }

protected:
    bool eventFilter(QObject* target, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
            return false;
        auto* widget = qobject_cast<QWidget*>(target);
        auto* window = widget ? dynamic_cast<CDialogWindow*>(widget->window()) : nullptr;
        if (!window || !window->Owner())
            return false;
        // Only the first receiver: a key the focused control ignores goes on to its parents.
        QWidget* first = window->focusWidget() ? window->focusWidget() : window;
        if (widget != first)
            return false;
        bool consumed = false;
        window->Reach([&](CDialog& dialog) { consumed = dialog.PreTranslateMessage(static_cast<QKeyEvent*>(event)); });
        return consumed;
    }

private:
    using QObject::QObject;
};

ModalRunner& Runner()
{
    static ModalRunner runner;
    return runner;
}

} // namespace

ModalRunner SetModalRunner(ModalRunner runner)
{
    return std::exchange(Runner(), std::move(runner));
}

CDialog::CDialog(const DialogTemplate& dialogTemplate) : m_template(dialogTemplate) {}

CDialog::~CDialog()
{
    ForgetDeferredWork(this);
    if (m_window) {
        m_window->Detach();
        delete m_window;
    }
}

bool CDialog::CreateWindow(QWidget* parent, bool child)
{
    if (m_window || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
        return false;
    KeyRouter::Install();
    m_bChild = child;
    m_window = new CDialogWindow(*this, parent, child);
    m_hWnd = m_window;
    m_window->setWindowTitle(
        QString::fromUtf8(m_template.caption.data(), static_cast<qsizetype>(m_template.caption.size())));
    Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (m_template.style & DS_CONTEXTHELP)
        flags |= Qt::WindowContextHelpButtonHint;
    m_window->setWindowFlags(child ? Qt::Widget : flags);
    m_controls = BuildDialogControls(m_template, *m_window);
    GetSystemMenu(true);
    for (const ControlTemplate& control : m_template.controls)
        if (control.kind == ControlKind::DefPushButton)
            SetDefID(control.id);
    ConnectNotifications();
    return true;
}

void CDialog::ConnectNotifications()
{
    CDialogWindow* window = m_window;
    for (const auto& [id, widget] : m_controls) {
        const int controlId = id;
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            QObject::connect(button, &QAbstractButton::clicked, window,
                             [window, controlId] { window->Command(controlId); });
        else if (auto* combo = qobject_cast<QComboBox*>(widget))
            QObject::connect(combo, &QComboBox::activated, window,
                             [window, controlId] { window->Notify(Notification::SelChange, controlId); });
        else if (auto* edit = qobject_cast<QLineEdit*>(widget))
            QObject::connect(edit, &QLineEdit::textChanged, window,
                             [window, controlId] { window->Notify(Notification::EditChange, controlId); });
    }
}

bool CDialog::Create(CWnd* parent)
{
    if (!CreateWindow(parent ? parent->GetSafeHwnd() : nullptr))
        return false;
    if (OnInitDialog() && !m_controls.empty())
        m_window->FocusFirstTabStop();
    if (m_window)
        m_window->show();
    return m_window != nullptr;
}

bool CDialog::CreateChild(QWidget* parent)
{
    if (!CreateWindow(parent, true))
        return false;
    OnInitDialog();
    if (m_window) {
        // Left unmoved, a dialog places itself over the middle of its parent.
        m_window->move(0, 0);
        m_window->show();
    }
    return m_window != nullptr;
}

int CDialog::DoModal()
{
    CModalGate gate;
    if (!gate.MayOpen())
        return IDCANCEL;
    QWidget* owner = QApplication::activeWindow();
    if (!CreateWindow(owner))
        return -1;
    m_modal = true;
    m_modalResult = -1;
    m_window->setModal(true);
    gate.SetClose([this] { EndDialog(IDCANCEL); });
    if (OnInitDialog())
        m_window->FocusFirstTabStop();
    if (Runner()) {
        m_window->show(); // as the real modal loop would
        Runner()(*this);
    } else if (m_window && m_modalResult == -1)
        m_window->exec();
    gate.SetClose({});
    m_modal = false;
    ReleaseWindow();
    return gate.WasClosed() ? IDCANCEL : m_modalResult;
}

void CDialog::ReleaseWindow()
{
    if (!m_window)
        return;
    OnDestroy();
    m_window->Detach();
    delete m_window;
    m_window = nullptr;
    m_hWnd = nullptr;
    m_controls.clear();
    m_timers.clear();
}

void CDialog::EndDialog(int result)
{
    m_modalResult = result;
    if (!m_window)
        return;
    if (m_modal)
        m_window->done(result);
    else
        m_window->hide();
}

void CDialog::DestroyWindow()
{
    if (!m_window)
        return;
    if (IsUnwound() || m_modal || m_bChild) {
        DestroyNow();
        return;
    }
    // A modeless window may free itself once it is gone (PostNcDestroy): never while one of its
    // handlers or a nested loop is still on the stack. Until then it is only out of sight.
    if (m_bDestroyPending)
        return;
    m_bDestroyPending = true;
    StopTimers();
    m_window->hide();
    WhenUnwound(this, [this] { DestroyNow(); });
    // The main window's end is the program's: the nested loops close so that it comes now.
    if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == this)
        app->RequestEnd(0);
}

void CDialog::StopTimers()
{
    for (auto& [id, timer] : m_timers)
        if (timer)
            timer->stop();
}

void CDialog::DestroyNow()
{
    OnDestroy();
    CDialogWindow* window = m_window;
    m_window = nullptr;
    m_hWnd = nullptr;
    m_controls.clear();
    StopTimers();
    m_timers.clear();
    window->Detach();
    window->hide();
    // Later: Qt may still be delivering the event that led here to one of its controls.
    window->deleteLater();
    CWinApp* app = AfxGetApp();
    const bool mainWindow = app && app->m_pMainWnd == this;
    if (mainWindow)
        app->m_pMainWnd = nullptr;
    PostNcDestroy(); // may free this dialog
    if (mainWindow)
        app->RequestEnd(0);
}

bool CDialog::UpdateData(bool saveAndValidate)
{
    CDataExchange exchange(*this, saveAndValidate);
    DoDataExchange(&exchange);
    return !exchange.m_bFailed;
}

QWidget* CDialog::GetControl(int id) const
{
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

CWnd* CDialog::GetDlgItem(int id)
{
    QWidget* widget = GetControl(id);
    if (!widget)
        return nullptr;
    auto& item = m_items[id];
    if (!item)
        item = std::make_unique<CWnd>();
    item->Attach(widget);
    return item.get();
}

void CDialog::SetDefID(int id)
{
    m_defId = id;
    for (const auto& [controlId, widget] : m_controls)
        if (auto* button = qobject_cast<QPushButton*>(widget))
            button->setDefault(controlId == id);
}

void CDialog::GotoDlgCtrl(CWnd& control)
{
    control.SetFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(control.GetSafeHwnd()))
        edit->selectAll();
}

bool CDialog::SetTimer(unsigned id, unsigned milliseconds)
{
    if (!m_window)
        return false;
    QPointer<QTimer>& timer = m_timers[id];
    if (!timer) {
        timer = new QTimer(m_window);
        CDialogWindow* window = m_window;
        QObject::connect(timer, &QTimer::timeout, window, [window, id] { window->Timer(id); });
    }
    timer->start(static_cast<int>(milliseconds));
    return true;
}

void CDialog::KillTimer(unsigned id)
{
    const auto found = m_timers.find(id);
    if (found == m_timers.end())
        return;
    if (found->second) {
        found->second->stop();
        found->second->deleteLater();
    }
    m_timers.erase(found);
}

bool CDialog::Dispatch(Notification code, int id)
{
    for (const DispatchEntry& entry : GetDispatchTable()) {
        if (entry.code == code && entry.id == id) {
            (this->*entry.handler)();
            return true;
        }
    }
    return false;
}

void CDialog::SendCommand(unsigned id)
{
    const CHandlerScope scope;
    if (Dispatch(Notification::Command, static_cast<int>(id)))
        return;
    if (id == IDOK)
        OnOK();
    else if (id == IDCANCEL)
        OnCancel();
}

LRESULT CDialog::SendMessage(unsigned message, WPARAM wParam, LPARAM lParam)
{
    const CHandlerScope scope;
    for (const MessageEntry& entry : GetMessageTable())
        if (*entry.message == message && message != 0)
            return (this->*entry.handler)(wParam, lParam);
    return 0;
}

bool CDialog::PostMessage(unsigned message, WPARAM wParam, LPARAM lParam)
{
    if (!m_window)
        return false;
    CDialogWindow* window = m_window;
    QMetaObject::invokeMethod(
        window,
        [window, message, wParam, lParam] {
            if (CDialog* owner = window->Owner())
                owner->SendMessage(message, wParam, lParam);
        },
        Qt::QueuedConnection);
    return true;
}

bool CDialog::PreTranslateMessage(QKeyEvent* message)
{
    return IsDialogMessage(message);
}

bool CDialog::IsDialogMessage(QKeyEvent* message)
{
    if (IsSystemMenuKey(message))
        return true;
    if (message->type() != QEvent::KeyPress || (message->modifiers() & ~Qt::KeypadModifier) != 0)
        return false;
    if (message->key() == Qt::Key_Escape) {
        SendCommand(IDCANCEL);
        return true;
    }
    if (message->key() != Qt::Key_Return && message->key() != Qt::Key_Enter)
        return false;
    // Enter presses the focused button, or else the default one when it can be pressed.
    QWidget* focus = m_window ? m_window->focusWidget() : nullptr;
    if (auto* button = qobject_cast<QPushButton*>(focus)) {
        button->click();
        return true;
    }
    QWidget* defaultButton = GetControl(m_defId);
    if (defaultButton && defaultButton->isEnabled() && defaultButton->isVisible())
        SendCommand(static_cast<unsigned>(m_defId));
    return true;
}

bool CDialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK()
{
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::OnTimer(unsigned) {}

// Alt+Space opens the system menu at the dialog's top-left corner.
bool CDialog::IsSystemMenuKey(QKeyEvent* message)
{
    if (message->key() != Qt::Key_Space || (message->modifiers() & ~Qt::KeypadModifier) != Qt::AltModifier)
        return false;
    message->accept();
    if (message->type() == QEvent::KeyPress && m_window)
        ShowSystemMenu(m_window->mapToGlobal(QPoint(0, 0)));
    return true;
}

CMenu* CDialog::GetSystemMenu(bool revert)
{
    if (!revert && !m_sysMenu.Items().empty())
        return &m_sysMenu;
    m_sysMenu = CMenu();
    m_sysMenu.AppendMenu(MF_STRING, SC_RESTORE, "&Restore");
    m_sysMenu.AppendMenu(MF_STRING, SC_MINIMIZE, "Mi&nimize");
    if (m_template.style & DS_CONTEXTHELP)
        m_sysMenu.AppendMenu(MF_STRING, SC_CONTEXTHELP, "What's &This?");
    m_sysMenu.AppendMenu(MF_SEPARATOR);
    m_sysMenu.AppendMenu(MF_STRING, SC_CLOSE, "&Close");
    return &m_sysMenu;
}

void CDialog::ShowSystemMenu(QPoint screenPoint)
{
    if (!m_window)
        return;
    const bool minimized = m_window->isMinimized();
    m_sysMenu.EnableMenuItem(SC_RESTORE, minimized ? MF_ENABLED : MF_GRAYED);
    m_sysMenu.EnableMenuItem(SC_MINIMIZE, minimized ? MF_GRAYED : MF_ENABLED);
    const unsigned command = m_sysMenu.TrackPopupMenu(TPM_RETURNCMD | TPM_RIGHTBUTTON, screenPoint, *this);
    if (command != 0)
        OnSysCommand(command, 0);
}

void CDialog::OnSysCommand(unsigned nID, long)
{
    if (nID == SC_RESTORE && m_window)
        m_window->showNormal();
    else if (nID == SC_MINIMIZE && m_window)
        m_window->showMinimized();
    else if (nID == SC_CONTEXTHELP)
        QWhatsThis::enterWhatsThisMode();
    else if (nID == SC_CLOSE)
        SendCommand(IDCANCEL);
}

void CDialog::RequestContextHelp(QPoint windowPos, QPoint screenPos)
{
    QWidget* control = m_window ? m_window->childAt(windowPos) : nullptr;
    while (control && control->parentWidget() != m_window)
        control = control->parentWidget();
    QWidget* item = control ? control : m_window;
    HELPINFO info{HELPINFO_WINDOW, ControlIdOf(item), item, screenPos};
    OnHelpInfo(&info);
}

bool CDialog::OnHelpInfo(HELPINFO*)
{
    return false;
}
