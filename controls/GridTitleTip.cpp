#include "controls/GridTitleTip.h"

#include "controls/GridCtrl.h"

IMPLEMENT_DYNAMIC(CGridTitleTip, CWnd)
IMPLEMENT_DYNAMIC(CGridDropTarget, COleDropTarget)

namespace {
constexpr const char* kTitleTipClass = "ZTitleTip";
bool AppHasFocus() { return ::GetFocus() != nullptr; }
}  // namespace

BEGIN_MESSAGE_MAP(CGridTitleTip, CWnd)
ON_WM_MOUSEMOVE()
ON_WM_PAINT()
END_MESSAGE_MAP()

CGridTitleTip::CGridTitleTip() : m_dwDblClickMsecs(::GetDoubleClickTime()) {
  WNDCLASS wc{};
  if (!::GetClassInfo(AfxGetInstanceHandle(), kTitleTipClass, &wc)) {
    wc.style = CS_SAVEBITS;
    wc.lpfnWndProc = ::DefWindowProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(std::intptr_t(COLOR_INFOBK + 1));
    wc.lpszClassName = kTitleTipClass;
    if (!::RegisterClass(&wc)) throw CResourceException();
  }
}

CGridTitleTip::~CGridTitleTip() {
  if (GetSafeHwnd()) DestroyWindow();
}

BOOL CGridTitleTip::Create(CWnd* parent) {
  if (m_bCreated) return TRUE;
  m_pParentWnd = parent;
  m_bCreated = CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kTitleTipClass, nullptr, WS_BORDER | WS_POPUP, 0, 0, 0, 0,
                        nullptr, nullptr);
  return m_bCreated;
}

BOOL CGridTitleTip::DestroyWindow() {
  m_bCreated = FALSE;
  return CWnd::DestroyWindow();
}

void CGridTitleTip::Show(CRect rectTitle, LPCTSTR text, int xOffset, LPRECT hover, const LOGFONT* font,
                         COLORREF textClr, COLORREF backClr) {
  if (!GetSafeHwnd() && (!m_pParentWnd || !Create(m_pParentWnd))) return;
  if (rectTitle.IsRectEmpty() || IsWindowVisible()) return;
  m_rectHover = hover ? CRect(*hover) : rectTitle;
  m_rectHover.right++;
  m_rectHover.bottom++;
  m_pParentWnd->ClientToScreen(&m_rectHover);
  ScreenToClient(&m_rectHover);
  if (!AppHasFocus()) return;
  m_rectTitle = CRect(-xOffset - 1, -1, rectTitle.Width() - xOffset, rectTitle.Height() + 1);

  CString shown = CString(" ") + (text ? text : "") + " ";
  CClientDC dc(this);
  CFont created;
  CFont* use = nullptr;
  if (font) {
    created.CreateFontIndirect(font);
    use = &created;
  } else {
    use = CFont::FromHandle(reinterpret_cast<HFONT>(m_pParentWnd->SendMessage(WM_GETFONT)));
  }
  CFont* old = dc.SelectObject(use);
  CSize size = dc.GetTextExtent(shown);
  TEXTMETRIC tm{};
  dc.GetTextMetrics(&tm);
  dc.SelectObject(old);
  const int needed = rectTitle.left + xOffset + size.cx + tm.tmOverhang;
  if (needed + xOffset <= rectTitle.right - xOffset) return;

  m_strShown = shown;
  m_hasFont = font != nullptr;
  if (font) m_lf = *font;
  m_crText = textClr;
  m_crBack = backClr;
  CPoint at(rectTitle.left + xOffset, rectTitle.top);
  m_pParentWnd->ClientToScreen(&at);
  ::SetWindowPos(GetSafeHwnd(), HWND_TOPMOST, at.x, at.y, xOffset + size.cx + tm.tmOverhang, rectTitle.Height(),
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
  // The hover rectangle was converted while the tip stood elsewhere: convert it again from the parent.
  m_rectHover = hover ? CRect(*hover) : rectTitle;
  m_rectHover.right++;
  m_rectHover.bottom++;
  m_pParentWnd->ClientToScreen(&m_rectHover);
  ScreenToClient(&m_rectHover);
  Invalidate();
  SetCapture();
}

void CGridTitleTip::OnPaint() {
  CPaintDC dc(this);
  CRect clip;
  dc.GetClipBox(&clip);
  dc.FillSolidRect(&clip, m_crBack != CLR_DEFAULT ? m_crBack : ::GetSysColor(COLOR_INFOBK));
  dc.SetTextColor(m_crText != CLR_DEFAULT ? m_crText : ::GetSysColor(COLOR_INFOTEXT));
  dc.SetBkMode(TRANSPARENT);
  CFont created;
  CFont* old = nullptr;
  if (m_hasFont) {
    created.CreateFontIndirect(&m_lf);
    old = dc.SelectObject(&created);
  } else if (m_pParentWnd) {
    old = dc.SelectObject(CFont::FromHandle(reinterpret_cast<HFONT>(m_pParentWnd->SendMessage(WM_GETFONT))));
  }
  dc.TextOut(0, 0, m_strShown);
  if (old) dc.SelectObject(old);
}

void CGridTitleTip::Hide() {
  if (!::IsWindow(GetSafeHwnd())) return;
  if (::GetCapture() == GetSafeHwnd()) ::ReleaseCapture();
  ShowWindow(SW_HIDE);
}

void CGridTitleTip::OnMouseMove(UINT flags, CPoint point) {
  if (m_rectHover.PtInRect(point)) return;
  Hide();
  ClientToScreen(&point);
  CWnd* under = CWnd::WindowFromPoint(point);
  if (!under || under == this) under = m_pParentWnd;
  if (!under) return;
  LRESULT hit = under->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
  if (hit == HTCLIENT) {
    under->ScreenToClient(&point);
    under->PostMessage(WM_MOUSEMOVE, flags, MAKELPARAM(point.x, point.y));
  } else {
    under->PostMessage(WM_NCMOUSEMOVE, WPARAM(hit), MAKELPARAM(point.x, point.y));
  }
}

BOOL CGridTitleTip::PreTranslateMessage(MSG* msg) {
  switch (msg->message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      bool doubleClick = false;
      if (msg->message == WM_LBUTTONDOWN) {
        DWORD now = ::GetTickCount();
        doubleClick = m_dwLastLButtonDown != DWORD(-1) && now - m_dwLastLButtonDown <= m_dwDblClickMsecs;
        m_dwLastLButtonDown = now;
      }
      CPoint point(GET_X_LPARAM(msg->lParam), GET_Y_LPARAM(msg->lParam));
      ClientToScreen(&point);
      Hide();
      CWnd* under = CWnd::WindowFromPoint(point);
      if (!under || under == this) under = m_pParentWnd;
      if (!under) return FALSE;
      LRESULT hit = under->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
      if (hit == HTCLIENT) {
        under->ScreenToClient(&point);
        UINT message = doubleClick ? WM_LBUTTONDBLCLK : msg->message;
        under->PostMessage(message, msg->wParam, MAKELPARAM(point.x, point.y));
      } else {
        UINT message = msg->message == WM_LBUTTONDOWN   ? WM_NCLBUTTONDOWN
                       : msg->message == WM_RBUTTONDOWN ? WM_NCRBUTTONDOWN
                                                        : WM_NCMBUTTONDOWN;
        under->PostMessage(message, WPARAM(hit), MAKELPARAM(point.x, point.y));
      }
      return TRUE;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      Hide();
      if (m_pParentWnd) m_pParentWnd->PostMessage(msg->message, msg->wParam, msg->lParam);
      return TRUE;
    default:
      if (!AppHasFocus()) {
        Hide();
        return TRUE;
      }
      return FALSE;
  }
}

// ---- drop target --------------------------------------------------------------------------------------------------

BOOL CGridDropTarget::Register(CGridCtrl* grid) {
  if (m_bRegistered || !grid) return FALSE;
  m_pGridCtrl = grid;
  m_bRegistered = COleDropTarget::Register(grid);
  return m_bRegistered;
}

void CGridDropTarget::Revoke() {
  m_bRegistered = FALSE;
  COleDropTarget::Revoke();
}

DROPEFFECT CGridDropTarget::OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) {
  if (!m_pGridCtrl || !wnd || wnd->GetSafeHwnd() != m_pGridCtrl->GetSafeHwnd()) return DROPEFFECT_NONE;
  return m_pGridCtrl->OnDragEnter(data, keyState, point);
}

DROPEFFECT CGridDropTarget::OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) {
  if (!m_pGridCtrl || !wnd || wnd->GetSafeHwnd() != m_pGridCtrl->GetSafeHwnd()) return DROPEFFECT_NONE;
  return m_pGridCtrl->OnDragOver(data, keyState, point);
}

void CGridDropTarget::OnDragLeave(CWnd* wnd) {
  if (m_pGridCtrl && wnd && wnd->GetSafeHwnd() == m_pGridCtrl->GetSafeHwnd()) m_pGridCtrl->OnDragLeave();
}

BOOL CGridDropTarget::OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point) {
  if (!m_pGridCtrl || !wnd || wnd->GetSafeHwnd() != m_pGridCtrl->GetSafeHwnd()) return FALSE;
  return m_pGridCtrl->OnDrop(data, effect, point);
}

DROPEFFECT CGridDropTarget::OnDropEx(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, DROPEFFECT, CPoint point) {
  if (effect != DROPEFFECT_MOVE) return DROPEFFECT(-1);
  if (!OnDrop(wnd, data, effect, point)) return DROPEFFECT_NONE;
  return m_pGridCtrl->LastPasteWasWhole() ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
}

DROPEFFECT CGridDropTarget::OnDragScroll(CWnd* wnd, DWORD keyState, CPoint point) {
  if (!m_pGridCtrl || !wnd || wnd->GetSafeHwnd() != m_pGridCtrl->GetSafeHwnd()) return DROPEFFECT_NONE;
  return (keyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}
