#include "PropertySheet.h"

#include "DialogBuilder.h"
#include "NestedLoops.h"
#include "PropertyPage.h"

#include <QSignalBlocker>
#include <QTabWidget>

#include <algorithm>
#include <utility>

namespace {

constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kGap = 4;
constexpr int kMargin = 6;

// The sheet's own controls; the pages' frame is placed above them when the sheet opens.
constexpr ControlTemplate kSheetControls[] = {
    {IDOK, ControlKind::DefPushButton, "OK", 0, 0, kButtonWidth, kButtonHeight, WS_TABSTOP},
    {IDCANCEL, ControlKind::PushButton, "Cancel", 0, 0, kButtonWidth, kButtonHeight, WS_TABSTOP},
    {ID_APPLY_NOW, ControlKind::PushButton, "&Apply", 0, 0, kButtonWidth, kButtonHeight, WS_TABSTOP},
    {IDHELP, ControlKind::PushButton, "Help", 0, 0, kButtonWidth, kButtonHeight, WS_TABSTOP},
};

constexpr DialogTemplate kSheetTemplate = {
    0, "", 4 * (kButtonWidth + kGap), kButtonHeight, DS_MODALFRAME, kSheetControls};

void FocusFirstTabStop(QWidget* page)
{
    for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if ((child->focusPolicy() & Qt::TabFocus) && child->isEnabled()) {
            child->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

QString ToQt(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CPropertySheet::CPropertySheet(std::string caption, int selectPage)
    : CDialog(kSheetTemplate), m_strCaption(std::move(caption)), m_nStartPage(selectPage)
{
}

void CPropertySheet::AddPage(CPropertyPage* page)
{
    m_pages.push_back(page);
}

CPropertyPage* CPropertySheet::GetPage(int index) const
{
    return index >= 0 && index < GetPageCount() ? m_pages[static_cast<std::size_t>(index)] : nullptr;
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    return GetPage(m_nActive);
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const
{
    const auto found = std::find(m_pages.begin(), m_pages.end(), page);
    return found == m_pages.end() ? -1 : static_cast<int>(found - m_pages.begin());
}

bool CPropertySheet::SetActivePage(CPropertyPage* page)
{
    return SetActivePage(GetPageIndex(page));
}

bool CPropertySheet::SetActivePage(int index)
{
    CPropertyPage* page = GetPage(index);
    if (!page)
        return false;
    if (!m_tabs) {
        m_nStartPage = index;
        return true;
    }
    if (index == m_nActive)
        return true;
    CPropertyPage* current = GetActivePage();
    if (current && !current->OnKillActive()) {
        const QSignalBlocker block(m_tabs);
        m_tabs->setCurrentIndex(m_nActive);
        return false;
    }
    if (!page->IsCreated()) {
        page->CreatePage(m_frames[static_cast<std::size_t>(index)], [this] { UpdateApplyButton(); });
        Layout();
    }
    m_nActive = index;
    {
        const QSignalBlocker block(m_tabs);
        m_tabs->setCurrentIndex(index);
    }
    FocusFirstTabStop(page->GetSafeHwnd());
    return true;
}

void CPropertySheet::UpdateApplyButton()
{
    QWidget* apply = GetControl(ID_APPLY_NOW);
    if (apply)
        apply->setEnabled(std::any_of(m_pages.begin(), m_pages.end(), [](auto* page) { return page->IsModified(); }));
}

bool CPropertySheet::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(m_strCaption);
    m_tabs = new QTabWidget(GetSafeHwnd());
    for (CPropertyPage* page : m_pages) {
        m_frames.push_back(new QWidget);
        m_tabs->addTab(m_frames.back(), ToQt(page->Template().caption));
    }
    QObject::connect(m_tabs, &QTabWidget::currentChanged, m_tabs, [this](int index) {
        const CHandlerScope scope;
        OnTabChanged(index);
    });
    const int start = std::exchange(m_nStartPage, 0);
    Layout();
    SetActivePage(start);
    UpdateApplyButton();
    return false; // the page has the focus
}

void CPropertySheet::OnTabChanged(int index)
{
    SetActivePage(index);
}

// Frames as large as the largest page (a page not created yet counts with its template's size),
// the buttons in a row below them, on the right.
void CPropertySheet::Layout()
{
    QWidget* window = GetSafeHwnd();
    const CDialogUnits units(window->font());
    QSize pageSize;
    for (const CPropertyPage* page : m_pages) {
        const DialogTemplate& pageTemplate = page->Template();
        pageSize = pageSize.expandedTo(page->IsCreated() ? page->GetSafeHwnd()->size()
                                                         : QSize(units.X(pageTemplate.cx), units.Y(pageTemplate.cy)));
    }
    for (QWidget* frame : m_frames)
        frame->setFixedSize(pageSize);
    m_tabs->move(units.X(kMargin), units.Y(kMargin));
    // The frames have no size hint of their own, only their fixed size.
    m_tabs->setFixedSize(m_tabs->sizeHint().expandedTo(m_tabs->minimumSizeHint()));
    const int buttonWidth = units.X(kButtonWidth);
    int x = m_tabs->geometry().right() + 1 - 4 * buttonWidth - 3 * units.X(kGap);
    const int y = m_tabs->geometry().bottom() + 1 + units.Y(kMargin);
    for (const ControlTemplate& button : kSheetControls) {
        GetControl(button.id)->setGeometry(x, y, buttonWidth, units.Y(kButtonHeight));
        x += buttonWidth + units.X(kGap);
    }
    window->setFixedSize(m_tabs->geometry().right() + 1 + units.X(kMargin),
                         y + units.Y(kButtonHeight) + units.Y(kMargin));
}

bool CPropertySheet::ApplyPages()
{
    CPropertyPage* current = GetActivePage();
    if (current && !current->OnKillActive())
        return false;
    // By index: applying one page may create another.
    for (std::size_t i = 0; i < m_pages.size(); ++i)
        if (m_pages[i]->IsCreated() && !m_pages[i]->OnApply())
            return false;
    for (CPropertyPage* page : m_pages)
        page->m_bChanged = false;
    UpdateApplyButton();
    return true;
}

void CPropertySheet::OnOK()
{
    if (ApplyPages())
        EndDialog(IDOK);
}

void CPropertySheet::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CPropertySheet::OnApplyNow()
{
    ApplyPages();
}

void CPropertySheet::OnHelp()
{
    if (CPropertyPage* page = GetActivePage())
        page->SendCommand(ID_HELP);
}

void CPropertySheet::OnDestroy()
{
    for (CPropertyPage* page : m_pages)
        page->DestroyWindow();
    m_frames.clear();
    m_tabs = nullptr;
    m_nActive = -1;
}

DispatchTable CPropertySheet::GetDispatchTable() const
{
    static const DispatchEntry kTable[] = {
        OnCommand(ID_APPLY_NOW, &CPropertySheet::OnApplyNow),
        OnCommand(IDHELP, &CPropertySheet::OnHelp),
    };
    return kTable;
}
