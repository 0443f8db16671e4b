// The base of a module's tabbed main input dialog, the tab control that addresses its tabs by page id, and the
// helper that moves a dialog's controls when its client area changes size.
#pragma once

#include <vector>

#include "platform/win/afx.h"

// A tab control whose tabs are addressed by page ids through a table of (tab position, page id) entries.
class COrmiTabCtrl : public CTabCtrl {
  DECLARE_DYNCREATE(COrmiTabCtrl)
 public:
  struct Entry {
    int tab = -1;
    int page = -1;
    CString title;
    int extra = 0;
  };
  // Appends a tab with the title at the end of the control and its entry; returns the tab position.
  int AddPage(int pageId, LPCTSTR title);
  // An entry for a tab the control has already.
  void AddEntry(int tabPosition, int pageId, LPCTSTR title);
  int FindPage(int pageId) const;
  int FindTab(int tabPosition) const;
  int GetCurPage() const;
  // Selects the tab of the page; the page id that was selected before (-1 when its tab has no entry). An
  // unknown id changes nothing and gives -1.
  int SetCurPage(int pageId);
  int GetEntryCount() const { return int(m_pages.size()); }
  // Out of range: std::out_of_range("invalid vector<T> subscript").
  const Entry& GetEntry(int index) const;

 private:
  std::vector<Entry> m_pages;
};

class CMainDlgBase : public CDialog {
  DECLARE_DYNCREATE(CMainDlgBase)
 public:
  CMainDlgBase() = default;
  explicit CMainDlgBase(UINT templateId, CWnd* parent = nullptr) : CDialog(templateId, parent) {}

  BOOL OnInitDialog() override;
  // Selects the page on the tab control (a page-id tab control or a plain one) and calls OnPageChange, unless
  // the page is selected already; page 0 is always selected anew.
  void SelectPage(int page, CWnd* tab);
  // The same on the dialog's own tab control (SetPageTab); nothing without one.
  void SelectPage(int page) {
    if (m_pPageTab) SelectPage(page, m_pPageTab);
  }
  void SetPageTab(CWnd* tab) { m_pPageTab = tab; }
  virtual void OnPageChange() {}
  int InitialWidth() const { return m_nInitialWidth; }
  int InitialHeight() const { return m_nInitialHeight; }

 protected:
  void OnDestroy() { CWnd::OnDestroy(); }
  void OnShowWindow(BOOL show, UINT status) { Default(); }
  int m_nInitialWidth = 0;
  int m_nInitialHeight = 0;
  CWnd* m_pPageTab = nullptr;
  DECLARE_MESSAGE_MAP()
};

// Child windows anchored by four percentages of the client size and four pixel offsets.
class CResizeHelper {
 public:
  virtual ~CResizeHelper() = default;
  void AddControl(HWND wnd, int leftPct, int topPct, int rightPct, int bottomPct, int leftOff, int topOff, int rightOff,
                  int bottomOff);
  // Moves every control for the client rectangle (origin 0, 0); a client area of no size moves nothing.
  void Resize(const CRect& client);
  // The rectangle a control gets for a client size.
  static CRect Place(int width, int height, const int pct[4], const int off[4]);
  // The child's window rectangle relative to the parent's window; 0 (out untouched) when either is no window.
  static BOOL GetChildRect(HWND parent, HWND child, RECT* out);
  int GetCount() const { return int(m_wnd.size()); }

 private:
  std::vector<HWND> m_wnd;
  std::vector<int> m_left, m_top, m_right, m_bottom;
  std::vector<int> m_leftPct, m_topPct, m_rightPct, m_bottomPct;
};
