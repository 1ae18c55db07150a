#pragma once

#include "Dialog.h"

#include <string>
#include <vector>

class CPropertyPage;
class QTabWidget;

// The Apply button's command.
inline constexpr int ID_APPLY_NOW = 0x3021;

// A modal sheet of tabbed pages with OK, Cancel, Apply and Help. Pages are created when first
// shown; OK and Apply ask every created page, in order, to apply; Help goes to the active page.
class CPropertySheet : public CDialog {
public:
    explicit CPropertySheet(std::string caption, int selectPage = 0);

    // Adds a page; the sheet does not own it.
    void AddPage(CPropertyPage* page);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int index) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const { return m_nActive; }
    int GetPageIndex(const CPropertyPage* page) const;
    // Leaves the active page (which may refuse) and shows `index`, creating it first when needed.
    bool SetActivePage(int index);
    bool SetActivePage(CPropertyPage* page);
    // Apply is enabled while any page is marked modified.
    void UpdateApplyButton();

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnDestroy() override;
    DispatchTable GetDispatchTable() const override;

private:
    void OnApplyNow();
    void OnHelp();
    bool ApplyPages();
    void OnTabChanged(int index);
    void Layout();

    std::string m_strCaption;
    int m_nStartPage;
    int m_nActive = -1;
    std::vector<CPropertyPage*> m_pages;
    std::vector<QWidget*> m_frames;
    QTabWidget* m_tabs = nullptr;
};
