#pragma once
// The utility's one top-level window: the tab control with the three pages, the Close
// button, the about box in the system menu. The detection cycle's decisions live in
// DetectionCycle; this class forwards the window's messages to it and carries out what
// it asks of the window.

#include <memory>
#include <string>

#include "tavsetup/shell/detection_cycle.h"
#include "tavsetup/shell/framework/dialog.h"
#include "tavsetup/shell/framework/tab_ctrl.h"

namespace tav::setup {

struct PageServices;
class CPageDlg;
class CSerIdDlg;
class CVComDlg;
class CBidiDlg;

class CMainDlg : public CDialog, private DetectionView {
  public:
    // `pages` serve the three pages the window builds; they outlive the window.
    CMainDlg(const std::u16string& title, PrinterDetector& detector, const PageServices& pages);
    ~CMainDlg() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;

    CTabCtrl m_tab;
    HICON m_hIcon;
    DetectionCycle m_cycle;  // holds m_bWatching and m_nLastCount

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

  private:
    // DetectionView
    void SetTimer(uint32_t periodMs) override;
    void KillTimer() override;
    void PostDetectPrinter() override;
    void PostStatus(Page page, uint32_t status) override;
    void ShowSeveralPrintersWarning() override;

    void AddAboutBoxToSystemMenu();
    [[nodiscard]] bool CreatePages();
    void DeletePages();
    CPageDlg* PageObject(Page page) const;
    void PlacePages();
    void ShowPage(Page page);
    void PaintIcon();
    void OnDestroy();
    void ShowCriticalError();

    std::u16string m_strTitle;
    const PageServices& m_pageServices;
    // The three pages, created with the window and destroyed with it.
    std::unique_ptr<CSerIdDlg> m_pSerIdDlg;
    std::unique_ptr<CVComDlg> m_pVComDlg;
    std::unique_ptr<CBidiDlg> m_pBidiDlg;
};

}  // namespace tav::setup
