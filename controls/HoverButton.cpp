#include "controls/HoverButton.h"

#include <algorithm>
#include <cstring>

#include "platform/win/dialogs/afxdlgs.h"
#include "platform/win/resources/resources.h"

IMPLEMENT_DYNAMIC(CHoverButton, CButton)

BEGIN_MESSAGE_MAP(CHoverButton, CButton)
ON_WM_MOUSEMOVE()
ON_WM_MOUSELEAVE()
ON_WM_SETCURSOR()
ON_WM_KILLFOCUS()
ON_WM_CANCELMODE()
ON_WM_ENABLE()
ON_WM_GETDLGCODE()
ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
ON_MESSAGE(BM_SETCHECK, OnSetCheck)
ON_MESSAGE(BM_GETCHECK, OnGetCheck)
ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
ON_WM_ACTIVATE()
ON_WM_SYSCOLORCHANGE()
ON_WM_CTLCOLOR_REFLECT()
ON_WM_MENUCHAR()
END_MESSAGE_MAP()

CHoverButton::CHoverButton() { SetDefaultColors(FALSE); }

CHoverButton::~CHoverButton() {
  DropBackgroundCopy();
  FreeBitmaps();
  if (m_pToolTip && m_pToolTip->GetSafeHwnd()) m_pToolTip->DestroyWindow();
}

void CHoverButton::Repaint(BOOL repaint) {
  if (repaint && GetSafeHwnd()) Invalidate();
}

void CHoverButton::PreSubclassWindow() {
  const UINT type = GetStyle() & BS_TYPEMASK;
  m_nTypeStyle = type;
  if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE)
    m_bIsCheckBox = TRUE;
  if (type == BS_DEFPUSHBUTTON) {
    m_bIsDefault = TRUE;
    m_nTypeStyle = BS_PUSHBUTTON;
  }
  ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW, SWP_FRAMECHANGED);
  CButton::PreSubclassWindow();
}

int CHoverButton::SetFlat(BOOL flat, BOOL repaint) {
  m_bIsFlat = flat;
  Repaint(repaint);
  return 0;
}

int CHoverButton::SetDrawBorder(BOOL draw, BOOL repaint) {
  m_bDrawBorder = draw;
  Repaint(repaint);
  return 0;
}

int CHoverButton::SetPressedStyle(int style, BOOL repaint) {
  if (style == 0)
    m_ptPressedOffset = CPoint(1, 1);
  else if (style == 1)
    m_ptPressedOffset = CPoint(0, 2);
  else
    return 6;
  Repaint(repaint);
  return 0;
}

int CHoverButton::SetColor(int index, COLORREF colour, BOOL repaint) {
  if (index < 0 || index >= kColorCount) return 3;
  m_colours[index] = colour;
  Repaint(repaint);
  return 0;
}

int CHoverButton::SetDefaultColors(BOOL repaint) {
  for (int i = 0; i < kColorCount; i += 2) {
    m_colours[i] = ::GetSysColor(COLOR_BTNFACE);
    m_colours[i + 1] = ::GetSysColor(COLOR_BTNTEXT);
  }
  Repaint(repaint);
  return 0;
}

int CHoverButton::SetCheck(int state, BOOL repaint) {
  if (!m_bIsCheckBox) return 0;
  m_nCheck = state == 1 || state == 2 ? 1 : 0;
  Repaint(repaint);
  return 0;
}

LRESULT CHoverButton::OnSetCheck(WPARAM w, LPARAM) {
  m_nCheck = w == 1 || w == 2 ? 1 : 0;
  Invalidate();
  return 0;
}

LRESULT CHoverButton::OnGetCheck(WPARAM, LPARAM) { return m_nCheck; }

LRESULT CHoverButton::OnSetStyle(WPARAM w, LPARAM l) {
  // A dialog moving its default button asks for push-button styles; the button stays owner-drawn.
  const UINT type = UINT(w) & BS_TYPEMASK;
  if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) m_bIsDefault = type == BS_DEFPUSHBUTTON;
  return DefWindowProc(BM_SETSTYLE, (w & ~WPARAM(4)) | BS_OWNERDRAW, l);
}

void CHoverButton::OnSysColorChange() {
  CButton::OnSysColorChange();
  DropBackgroundCopy();
  SetDefaultColors();
}

HBRUSH CHoverButton::CtlColor(CDC*, UINT) { return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)); }

LRESULT CHoverButton::OnMenuChar(UINT ch, UINT flags, CMenu* menu) {
  if (CIconMenu* own = menu ? CIconMenu::FindPopup(menu->GetSafeHmenu()) : nullptr) return own->MenuChar(ch);
  return CButton::OnMenuChar(ch, flags, menu);
}

void CHoverButton::OnActivate(UINT state, CWnd* other, BOOL minimized) {
  CButton::OnActivate(state, other, minimized);
  if (state == WA_INACTIVE) CancelHover();
}

void CHoverButton::FreeBitmaps() {
  for (Image& image : m_images) {
    if (image.bitmap) ::DeleteObject(image.bitmap);
    if (image.mask) ::DeleteObject(image.mask);
    image = Image();
  }
}

int CHoverButton::SetBitmaps(HBITMAP normal, COLORREF normalTransparent, HBITMAP hover, COLORREF hoverTransparent) {
  FreeBitmaps();
  const HBITMAP given[2] = {normal, hover};
  const COLORREF transparent[2] = {normalTransparent, hoverTransparent};
  for (int i = 0; i < 2; ++i) {
    if (!given[i]) continue;
    BITMAP info{};
    if (!::GetObject(given[i], sizeof(info), &info)) {
      FreeBitmaps();
      return 1;
    }
    Image& image = m_images[i];
    image.bitmap = given[i];
    image.width = info.bmWidth;
    image.height = info.bmHeight;
    // The mask is white where the bitmap has the transparent colour; those pixels become black in the bitmap, so
    // that AND with the mask and OR with the bitmap leave the background there.
    image.mask = ::CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, nullptr);
    if (!image.mask) {
      FreeBitmaps();
      return 2;
    }
    CDC colourDc, maskDc;
    colourDc.CreateCompatibleDC(nullptr);
    maskDc.CreateCompatibleDC(nullptr);
    HGDIOBJ oldColour = ::SelectObject(colourDc.m_hDC, image.bitmap);
    HGDIOBJ oldMask = ::SelectObject(maskDc.m_hDC, image.mask);
    for (int y = 0; y < info.bmHeight; ++y)
      for (int x = 0; x < info.bmWidth; ++x) {
        const bool clear = colourDc.GetPixel(x, y) == transparent[i];
        maskDc.SetPixel(x, y, clear ? RGB(255, 255, 255) : RGB(0, 0, 0));
        if (clear) colourDc.SetPixel(x, y, RGB(0, 0, 0));
      }
    ::SelectObject(colourDc.m_hDC, oldColour);
    ::SelectObject(maskDc.m_hDC, oldMask);
  }
  Invalidate();
  return 0;
}

int CHoverButton::SetBitmaps(UINT normalId, COLORREF normalTransparent, UINT hoverId, COLORREF hoverTransparent) {
  HBITMAP normal = ::LoadBitmap(nullptr, MAKEINTRESOURCE(normalId));
  HBITMAP hover = hoverId ? ::LoadBitmap(nullptr, MAKEINTRESOURCE(hoverId)) : nullptr;
  if (!normal || (hoverId && !hover)) {
    if (normal) ::DeleteObject(normal);
    if (hover) ::DeleteObject(hover);
    return 1;
  }
  return SetBitmaps(normal, normalTransparent, hover, hoverTransparent);
}

int CHoverButton::DrawTransparent(BOOL repaint) {
  m_bDrawTransparent = TRUE;
  DropBackgroundCopy();
  Repaint(repaint);
  return 0;
}

void CHoverButton::DropBackgroundCopy() {
  if (!m_dcBackground.GetSafeHdc()) return;
  m_dcBackground.SelectObject(m_pbmpOldBackground);
  m_pbmpOldBackground = nullptr;
  m_dcBackground.DeleteDC();
  m_bmpBackground.DeleteObject();
}

void CHoverButton::PaintBackgroundCopy(CDC* dc, const CRect& rect) {
  CWnd* parent = GetParent();
  if (!parent) return;
  CRect place;
  GetWindowRect(&place);
  parent->ScreenToClient(&place);
  if (!m_dcBackground.GetSafeHdc()) {
    // Taken once, before the button has drawn over it; later paints would copy the button itself.
    CClientDC parentDc(parent);
    m_dcBackground.CreateCompatibleDC(&parentDc);
    m_bmpBackground.CreateCompatibleBitmap(&parentDc, place.Width(), place.Height());
    m_pbmpOldBackground = m_dcBackground.SelectObject(&m_bmpBackground);
    m_dcBackground.BitBlt(0, 0, place.Width(), place.Height(), &parentDc, place.left, place.top, SRCCOPY);
  }
  dc->BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), &m_dcBackground, rect.left, rect.top, SRCCOPY);
}

int CHoverButton::SetAlign(int align, BOOL repaint) {
  if (align < kImageLeft || align > kImageRight) return 1;
  m_nAlign = align;
  Repaint(repaint);
  return 0;
}

int CHoverButton::SetFlatFocus(BOOL draw, BOOL repaint) {
  m_bDrawFlatFocus = draw;
  Repaint(repaint);
  return 0;
}

int CHoverButton::SetIcon(HICON normal, HICON hover) {
  const HICON given[2] = {normal, hover};
  for (int i = 0; i < 2; ++i) {
    m_icons[i] = Icon();
    ICONINFO info{};
    if (!given[i] || !::GetIconInfo(given[i], &info)) continue;
    BITMAP bm{};
    ::GetObject(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
    // The window system lends the icon's own bitmaps here: they are not ours to delete.
    m_icons[i] = {given[i], bm.bmWidth, info.hbmColor ? bm.bmHeight : bm.bmHeight / 2};
  }
  Invalidate();
  return 0;
}

int CHoverButton::SetSound(LPCTSTR sound, BOOL onClick) {
  m_sounds[onClick ? 1 : 0] = sound ? sound : "";
  return 0;
}

int CHoverButton::SetTooltipText(LPCTSTR text, BOOL activate) {
  if (!text) return 0;
  if (!m_pToolTip) CreateTooltip();
  if (m_pToolTip->GetToolCount() == 0) {
    CRect client;
    GetClientRect(&client);
    m_pToolTip->AddTool(this, text, &client, 1);
  }
  m_pToolTip->UpdateTipText(text, this, 1);
  m_pToolTip->Activate(activate);
  m_bTooltipActive = activate;
  return 0;
}

void CHoverButton::CreateTooltip() {
  m_pToolTip = std::make_unique<CToolTipCtrl>();
  m_pToolTip->Create(this);
  m_pToolTip->Activate(FALSE);
  m_pToolTip->SetMaxTipWidth(400);
  m_pToolTip->SetDelayTime(TTDT_INITIAL, 50);
  m_pToolTip->SetDelayTime(TTDT_AUTOPOP, 3000);
  m_pToolTip->SetDelayTime(TTDT_RESHOW, 3000);
}

int CHoverButton::SetURL(LPCTSTR url) {
  m_strURL = url ? CString(std::string(url).substr(0, 260).c_str()) : CString();
  return 0;
}

int CHoverButton::SetHyperlinkStyle(BOOL on, BOOL repaint) {
  m_bHyperlink = on;
  if (on) {
    HFONT base = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (!base) base = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (!base) base = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    LOGFONT lf{};
    ::GetObject(base, sizeof(lf), &lf);
    m_normalFont.DeleteObject();
    m_underlinedFont.DeleteObject();
    m_normalFont.CreateFontIndirect(&lf);
    lf.lfUnderline = TRUE;
    m_underlinedFont.CreateFontIndirect(&lf);
    m_colours[kTextHover] = 0xFF0000;
    m_bDrawBorder = FALSE;
  }
  Repaint(repaint);
  return 0;
}

int CHoverButton::SetMenu(CIconMenu* menu, CWnd* owner) {
  m_pMenu = menu;
  m_pMenuOwner = owner;
  if (menu != m_ownedMenu.get()) m_ownedMenu.reset();
  return 0;
}

int CHoverButton::SetMenu(UINT menuId, CWnd* owner, UINT toolbarId) {
  auto menu = std::make_unique<CIconMenu>();
  if (!menu->LoadMenu(menuId)) return 1;
  if (toolbarId) menu->LoadToolbar(toolbarId);
  m_ownedMenu = std::move(menu);
  return SetMenu(m_ownedMenu.get(), owner);
}

int CHoverButton::SetMenuCallback(HWND wnd, UINT message, LPARAM param) {
  m_hMenuCallback = wnd;
  m_nMenuCallbackMessage = message;
  m_menuCallbackParam = param;
  return 0;
}

BOOL CHoverButton::PreTranslateMessage(MSG* msg) {
  if (!m_pToolTip) CreateTooltip();
  if (m_pToolTip->GetSafeHwnd()) m_pToolTip->RelayEvent(msg);
  // A double click counts as a second click.
  if (msg->message == WM_LBUTTONDBLCLK) msg->message = WM_LBUTTONDOWN;
  return CButton::PreTranslateMessage(msg);
}

// ---- hover ----------------------------------------------------------------------------------------------------------

void CHoverButton::UseFont(bool underlined) {
  if (!m_bHyperlink) return;
  CFont& font = underlined ? m_underlinedFont : m_normalFont;
  if (font.GetSafeHandle()) SendMessage(WM_SETFONT, WPARAM(font.GetSafeHandle()), FALSE);
}

void CHoverButton::CancelHover() {
  if (!m_bMouseOnButton) return;
  m_bMouseOnButton = FALSE;
  UseFont(false);
  Invalidate();
}

BOOL CHoverButton::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  if (m_hCursor) {
    ::SetCursor(m_hCursor);
    return TRUE;
  }
  if (m_bIsFlat && (!m_strURL.IsEmpty() || m_bMouseOnButton)) {
    if (HCURSOR hand = ::LoadCursor(nullptr, IDC_HAND)) {
      ::SetCursor(hand);
      return TRUE;
    }
  }
  return CButton::OnSetCursor(wnd, hitTest, message);
}

void CHoverButton::OnMouseMove(UINT flags, CPoint point) {
  CButton::OnMouseMove(flags, point);
  CPoint screen = point;
  ClientToScreen(&screen);
  const HWND under = ::WindowFromPoint(screen);
  if ((flags & MK_LBUTTON) && !m_bMouseOnButton) return;
  if (!m_bIsFlat) return;
  if (under == m_hWnd && (m_bAlwaysTrack || ::GetActiveWindow())) {
    if (!m_bMouseOnButton) {
      m_bMouseOnButton = TRUE;
      UseFont(true);
      Invalidate();
      if (!m_sounds[0].IsEmpty()) ::PlaySound(m_sounds[0], nullptr, SND_ASYNC | SND_NODEFAULT);
      TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
      ::TrackMouseEvent(&track);
    }
  } else {
    CancelHover();
  }
}

void CHoverButton::OnMouseLeave() { CancelHover(); }

void CHoverButton::OnKillFocus(CWnd* newWnd) {
  CButton::OnKillFocus(newWnd);
  CancelHover();
}

void CHoverButton::OnCancelMode() {
  CButton::OnCancelMode();
  CancelHover();
}

void CHoverButton::OnEnable(BOOL enable) {
  CButton::OnEnable(enable);
  if (!enable) {
    CancelHover();
    if (CWnd* parent = GetParent()) {
      CWnd* next = parent->GetNextDlgTabItem(this, FALSE);
      if (next && next != this)
        next->SetFocus();
      else
        parent->SetFocus();
    }
  }
}

UINT CHoverButton::OnGetDlgCode() {
  // The window's own answer follows its owner-draw style; which push button it is, the button knows.
  const UINT code = CButton::OnGetDlgCode() & ~UINT(DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
  return code | (m_bIsDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

// The dialog that holds the button hears the click as well: its command handlers run after this.
BOOL CHoverButton::OnClicked() {
  SetFocus();
  if (!m_sounds[1].IsEmpty()) ::PlaySound(m_sounds[1], nullptr, SND_ASYNC | SND_NODEFAULT);
  if (m_bIsCheckBox) {
    m_nCheck = !m_nCheck;
    Invalidate();
    return FALSE;
  }
  if (m_pMenu && m_pMenu->GetSafeHmenu()) {
    m_bMenuShown = TRUE;
    Invalidate();
    UpdateWindow();
    CRect window;
    GetWindowRect(&window);
    if (m_hMenuCallback)
      ::SendMessage(m_hMenuCallback, m_nMenuCallbackMessage, WPARAM(m_pMenu->GetSafeHmenu()), m_menuCallbackParam);
    HMENU popup = ::GetSubMenu(m_pMenu->GetSafeHmenu(), 0);
    if (!popup) popup = m_pMenu->GetSafeHmenu();
    const UINT command = UINT(::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, window.left,
                                               window.bottom, 0, m_hWnd, nullptr));
    m_bMenuShown = FALSE;
    Invalidate();
    if (command && m_pMenuOwner && m_pMenuOwner->GetSafeHwnd())
      m_pMenuOwner->PostMessage(WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return FALSE;
  }
  if (!m_strURL.IsEmpty()) OpenURL();
  return FALSE;
}

BOOL CHoverButton::OpenURL() {
  if (m_strURL.IsEmpty()) return FALSE;
  // A failure is said with the opener's reason, never passed over as an opened address; the dialog does not wait.
  CString failure;
  failure.Format("Die Adresse \"%s\" kann nicht geöffnet werden.", m_strURL.GetString());
  return win::shell::Open(m_strURL.str(), failure.str()) ? TRUE : FALSE;
}

// ---- drawing --------------------------------------------------------------------------------------------------------

void CHoverButton::OnDrawBackground(CDC* dc, CRect* rect) {
  COLORREF back = m_colours[kBackNormal];
  if (m_bMouseOnButton || m_bIsPressed)
    back = m_colours[kBackHover];
  else if (m_bIsFocused)
    back = m_colours[kBackFocus];
  m_crLastBack = back;
  dc->FillSolidRect(rect, back);
}

void CHoverButton::OnDrawBorder(CDC* dc, CRect* rect) {
  const COLORREF hi = ::GetSysColor(COLOR_BTNHILIGHT), lo = ::GetSysColor(COLOR_BTNSHADOW);
  if (m_bIsPressed)
    dc->Draw3dRect(rect, lo, hi);
  else
    dc->Draw3dRect(rect, hi, lo);
}

CRect CHoverButton::ImageRect(const CRect& item, BOOL hasTitle, CRect* caption, int w, int h, BOOL pressed) const {
  // Beside or above the caption at the margin, centred on the other axis; without a caption centred.
  CRect image(item);
  const int centredX = item.left + (item.Width() - w) / 2, centredY = item.top + (item.Height() - h) / 2;
  image.left = centredX;
  image.top = centredY;
  if (hasTitle && m_nAlign == kImageLeft) {
    image.left = item.left + m_ptImageMargin.x;
    caption->left += w + m_ptImageMargin.x;
  } else if (hasTitle && m_nAlign == kImageAbove) {
    image.top = item.top + m_ptImageMargin.y;
    caption->top += h + m_ptImageMargin.y;
  } else if (hasTitle && m_nAlign == kImageRight) {
    image.left = item.right - w - m_ptImageMargin.x;
    caption->right -= w + m_ptImageMargin.x;
  }
  image.right = image.left + w;
  image.bottom = image.top + h;
  if (pressed && !m_bIsCheckBox) image.OffsetRect(m_ptPressedOffset.x, m_ptPressedOffset.y);
  return image;
}

void CHoverButton::DrawIconImage(CDC* dc, BOOL hasTitle, RECT* item, CRect* caption, BOOL pressed, BOOL disabled) {
  const int index = (m_bMouseOnButton || pressed) && m_icons[1].icon ? 1 : 0;
  const Icon& icon = m_icons[index];
  if (!icon.icon) return;
  const CRect at = ImageRect(CRect(*item), hasTitle, caption, icon.width, icon.height, pressed);
  dc->DrawState(at.TopLeft(), at.Size(), icon.icon, DSS_NORMAL | (disabled ? DSS_DISABLED : 0));
}

void CHoverButton::DrawBitmapImage(CDC* dc, BOOL hasTitle, RECT* item, CRect* caption, BOOL pressed, BOOL disabled) {
  const int index = (m_bMouseOnButton || pressed) && m_images[1].bitmap ? 1 : 0;
  const Image& image = m_images[index];
  if (!image.bitmap) return;
  const CRect at = ImageRect(CRect(*item), hasTitle, caption, image.width, image.height, pressed);
  CDC mem;
  mem.CreateCompatibleDC(dc);
  if (disabled && m_bShowDisabledBitmap) {
    // Composed on white, then drawn greyed.
    CBitmap composed;
    composed.CreateCompatibleBitmap(dc, image.width, image.height);
    CBitmap* old = mem.SelectObject(&composed);
    mem.FillSolidRect(0, 0, image.width, image.height, RGB(255, 255, 255));
    CDC src;
    src.CreateCompatibleDC(dc);
    HGDIOBJ oldSrc = ::SelectObject(src.m_hDC, image.mask);
    mem.BitBlt(0, 0, image.width, image.height, &src, 0, 0, SRCAND);
    ::SelectObject(src.m_hDC, image.bitmap);
    mem.BitBlt(0, 0, image.width, image.height, &src, 0, 0, SRCPAINT);
    ::SelectObject(src.m_hDC, oldSrc);
    mem.SelectObject(old);
    dc->DrawState(at.TopLeft(), at.Size(), HBITMAP(composed), DSS_DISABLED);
    return;
  }
  HGDIOBJ old = ::SelectObject(mem.m_hDC, image.mask);
  dc->BitBlt(at.left, at.top, image.width, image.height, &mem, 0, 0, SRCAND);
  ::SelectObject(mem.m_hDC, image.bitmap);
  dc->BitBlt(at.left, at.top, image.width, image.height, &mem, 0, 0, SRCPAINT);
  ::SelectObject(mem.m_hDC, old);
}

void CHoverButton::DrawCaption(CDC* dc, BOOL hasTitle, RECT* item, CRect* caption, BOOL pressed, BOOL disabled) {
  CString title;
  GetWindowText(title);
  CRect r(*caption);
  if (pressed && !m_bIsCheckBox) r.OffsetRect(m_ptPressedOffset.x, m_ptPressedOffset.y);
  CRect measured(r);
  dc->DrawText(title, &measured, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
  r.top += (r.Height() - measured.Height()) / 2;
  r.bottom = r.top + measured.Height();
  dc->SetBkMode(TRANSPARENT);
  if (disabled) {
    CRect shifted(r);
    shifted.OffsetRect(1, 1);
    dc->SetTextColor(::GetSysColor(COLOR_3DHILIGHT));
    dc->DrawText(title, &shifted, DT_WORDBREAK | DT_CENTER);
    dc->SetTextColor(::GetSysColor(COLOR_3DSHADOW));
    dc->DrawText(title, &r, DT_WORDBREAK | DT_CENTER);
    return;
  }
  const bool hot = m_bMouseOnButton || pressed;
  dc->SetTextColor(m_colours[hot ? kTextHover : kTextNormal]);
  dc->SetBkColor(m_colours[hot ? kBackHover : kBackNormal]);
  dc->DrawText(title, &r, DT_WORDBREAK | DT_CENTER);
}

void CHoverButton::DrawItem(LPDRAWITEMSTRUCT dis) {
  CDC* dc = CDC::FromHandle(dis->hDC);
  const BOOL selected = (dis->itemState & ODS_SELECTED) != 0;
  m_bIsPressed = m_bIsCheckBox ? (selected || m_nCheck) : (selected || m_bMenuShown);
  m_bIsFocused = (dis->itemState & ODS_FOCUS) != 0;
  m_bIsDisabled = (dis->itemState & ODS_DISABLED) != 0;
  m_bLastPressed = m_bIsPressed;
  CRect item(dis->rcItem);
  dc->SetBkMode(TRANSPARENT);
  if (!m_bIsFlat && (m_bIsFocused || m_bIsDefault)) {
    CBrush black(RGB(0, 0, 0));
    dc->FrameRect(&item, &black);
    item.DeflateRect(1, 1);
  }
  if (m_bDrawTransparent)
    PaintBackgroundCopy(dc, item);
  else
    OnDrawBackground(dc, &item);
  if (!m_bIsPressed) {
    if (!m_bIsFlat) {
      dc->Draw3dRect(&item, ::GetSysColor(COLOR_BTNHILIGHT), ::GetSysColor(COLOR_3DDKSHADOW));
      CRect inner(item);
      inner.DeflateRect(1, 1);
      dc->Draw3dRect(&inner, ::GetSysColor(COLOR_3DLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
    } else if (m_bMouseOnButton && m_bDrawBorder) {
      OnDrawBorder(dc, &item);
    }
  } else if (m_bIsFlat) {
    if (m_bDrawBorder) OnDrawBorder(dc, &item);
  } else {
    CBrush shadow(::GetSysColor(COLOR_BTNSHADOW));
    dc->FrameRect(&item, &shadow);
  }
  CString title;
  GetWindowText(title);
  CRect caption(item);
  const BOOL hasTitle = !title.IsEmpty();
  if (m_icons[0].icon)
    DrawIconImage(dc, hasTitle, &dis->rcItem, &caption, m_bIsPressed, m_bIsDisabled);
  else if (m_images[0].bitmap) {
    dc->SetBkColor(RGB(255, 255, 255));
    DrawBitmapImage(dc, hasTitle, &dis->rcItem, &caption, m_bIsPressed, m_bIsDisabled);
  }
  if (hasTitle) DrawCaption(dc, hasTitle, &dis->rcItem, &caption, m_bIsPressed, m_bIsDisabled);
  if (m_bIsFocused && (!m_bIsFlat || m_bDrawFlatFocus)) {
    CRect focus(item);
    focus.DeflateRect(3, 3);
    dc->DrawFocusRect(&focus);
  }
}
