#include "controls/MainDlgBase.h"

#include <cstring>
#include <stdexcept>

// ---- tab control ----------------------------------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(COrmiTabCtrl, CTabCtrl)

int COrmiTabCtrl::AddPage(int pageId, LPCTSTR title) {
  const int position = GetItemCount();
  InsertItem(position, title);
  AddEntry(position, pageId, title);
  return position;
}

void COrmiTabCtrl::AddEntry(int tabPosition, int pageId, LPCTSTR title) {
  m_pages.push_back({tabPosition, pageId, CString(title), 0});
}

int COrmiTabCtrl::FindPage(int pageId) const {
  for (std::size_t i = 0; i < m_pages.size(); ++i)
    if (m_pages[i].page == pageId) return int(i);
  return -1;
}

int COrmiTabCtrl::FindTab(int tabPosition) const {
  for (std::size_t i = 0; i < m_pages.size(); ++i)
    if (m_pages[i].tab == tabPosition) return int(i);
  return -1;
}

const COrmiTabCtrl::Entry& COrmiTabCtrl::GetEntry(int index) const {
  if (index < 0 || index >= int(m_pages.size())) throw std::out_of_range("invalid vector<T> subscript");
  return m_pages[std::size_t(index)];
}

int COrmiTabCtrl::GetCurPage() const {
  if (m_pages.empty()) return -1;
  const int entry = FindTab(GetCurSel());
  return entry < 0 ? -1 : m_pages[std::size_t(entry)].page;
}

int COrmiTabCtrl::SetCurPage(int pageId) {
  const int entry = FindPage(pageId);
  if (entry < 0) return -1;
  const int before = SetCurSel(m_pages[std::size_t(entry)].tab);
  const int previous = FindTab(before);
  return previous < 0 ? -1 : m_pages[std::size_t(previous)].page;
}

// ---- main dialog base -----------------------------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(CMainDlgBase, CDialog)

BEGIN_MESSAGE_MAP(CMainDlgBase, CDialog)
ON_WM_DESTROY()
ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

BOOL CMainDlgBase::OnInitDialog() {
  CDialog::OnInitDialog();
  CRect window;
  GetWindowRect(&window);
  m_nInitialWidth = window.Width();
  m_nInitialHeight = window.Height();
  return FALSE;
}

void CMainDlgBase::SelectPage(int page, CWnd* tab) {
  if (!tab || !tab->GetSafeHwnd()) return;
  auto* own = std::strcmp(tab->GetRuntimeClass()->m_lpszClassName, "COrmiTabCtrl") == 0
                  ? static_cast<COrmiTabCtrl*>(tab)
                  : nullptr;
  const int current = own ? own->GetCurPage() : int(tab->SendMessage(TCM_GETCURSEL));
  if (current == page && page != 0) return;
  if (own)
    own->SetCurPage(page);
  else
    tab->SendMessage(TCM_SETCURSEL, WPARAM(page));
  OnPageChange();
}

// ---- resize helper --------------------------------------------------------------------------------------------------

void CResizeHelper::AddControl(HWND wnd, int leftPct, int topPct, int rightPct, int bottomPct, int leftOff, int topOff,
                               int rightOff, int bottomOff) {
  m_wnd.push_back(wnd);
  m_left.push_back(leftOff);
  m_top.push_back(topOff);
  m_right.push_back(rightOff);
  m_bottom.push_back(bottomOff);
  m_leftPct.push_back(leftPct);
  m_topPct.push_back(topPct);
  m_rightPct.push_back(rightPct);
  m_bottomPct.push_back(bottomPct);
}

CRect CResizeHelper::Place(int width, int height, const int pct[4], const int off[4]) {
  // The hundredth in single precision is a shade below 0.01: 100 % of 500 is 499.
  const double hundredth = double(0.01f);
  auto shift = [&](int p, int n) { return int(double(p) * double(n) * hundredth); };
  return CRect(off[0] + shift(pct[0], width), off[1] + shift(pct[1], height), off[2] + shift(pct[2], width),
               off[3] + shift(pct[3], height));
}

void CResizeHelper::Resize(const CRect& client) {
  const int w = client.Width(), h = client.Height();
  if (w < 1 || h < 1 || m_wnd.empty()) return;
  for (std::size_t i = 0; i < m_wnd.size(); ++i) {
    const int pct[4] = {m_leftPct[i], m_topPct[i], m_rightPct[i], m_bottomPct[i]};
    const int off[4] = {m_left[i], m_top[i], m_right[i], m_bottom[i]};
    const CRect r = Place(w, h, pct, off);
    ::SetWindowPos(m_wnd[i], nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER);
  }
}

BOOL CResizeHelper::GetChildRect(HWND parent, HWND child, RECT* out) {
  if (!out || !::IsWindow(parent) || !::IsWindow(child)) return 0;
  RECT p, c;
  ::GetWindowRect(parent, &p);
  ::GetWindowRect(child, &c);
  out->left = c.left - p.left;
  out->top = c.top - p.top;
  out->right = c.right - p.left;
  out->bottom = c.bottom - p.top;
  return 1;
}
