#include "controls/IconMenu.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "platform/win/registry.h"

IMPLEMENT_DYNCREATE(CIconMenu, CMenu)

namespace {

int g_version = 7;
int g_classic = -1;  // -1: not yet read

CImageList& Images() {
  static CImageList list;
  if (!list.GetSafeHandle()) list.Create(16, 15, ILC_COLOR24 | ILC_MASK, 8, 8);
  return list;
}

CFont& MenuFont() {
  static CFont font;
  if (!font.GetSafeHandle()) {
    NONCLIENTMETRICS metrics{};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
      font.CreateFontIndirect(&metrics.lfMenuFont);
    else
      font.Attach(::GetStockObject(DEFAULT_GUI_FONT));
  }
  return font;
}

void Fill(CDC& dc, const CRect& r, COLORREF c) { dc.FillSolidRect(&r, c); }

}  // namespace

CIconMenu::~CIconMenu() { DestroyMenu(); }

int CIconMenu::VersionCode(bool nt, int major, int minor) {
  if (!nt) {
    if (major < 4) return 0;
    if (major == 4 && minor == 10) return 3;
    if (major == 4 && minor == 90) return 4;
    return 2;
  }
  if (major == 4) return 5;
  if (major == 5 && minor == 0) return 6;
  if (major == 5 && minor == 1) return 7;
  return 1;
}

bool CIconMenu::IsClassicThemeFile(const char* themeFile) {
  static const char kEnd[] = "windows classic.theme";
  const std::size_t n = themeFile ? std::strlen(themeFile) : 0, k = sizeof(kEnd) - 1;
  if (n < k) return false;
  for (std::size_t i = 0; i < k; ++i)
    if (std::tolower(static_cast<unsigned char>(themeFile[n - k + i])) != kEnd[i]) return false;
  return true;
}

bool CIconMenu::IsClassicTheme() {
  if (g_classic < 0) {
    g_classic = 0;
    HKEY key = nullptr;
    if (::RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Microsoft\\Plus!\\Themes\\Current", 0, KEY_READ, &key) ==
        ERROR_SUCCESS) {
      char value[261] = {};
      DWORD size = 260, type = 0;
      if (::RegQueryValueEx(key, nullptr, nullptr, &type, reinterpret_cast<LPBYTE>(value), &size) == ERROR_SUCCESS)
        g_classic = IsClassicThemeFile(value) ? 1 : 0;
      ::RegCloseKey(key);
    }
  }
  return g_classic != 0;
}

void CIconMenu::SetEnvironment(int versionCode, bool classicTheme) {
  g_version = versionCode;
  g_classic = classicTheme ? 1 : 0;
}

CIconMenu::Look CIconMenu::ChooseLook(bool paletteDevice, int versionCode, bool classicTheme) {
  if (paletteDevice) return kClassicLook;
  return versionCode == 7 && !classicTheme ? kXPLook : kClassicLook;
}

CIconMenu::Look CIconMenu::CurrentLook(HDC dc) {
  const bool palette = dc && (::GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE);
  return ChooseLook(palette, g_version, IsClassicTheme());
}

COLORREF CIconMenu::LightenColor(COLORREF colour, double factor) {
  if (factor < 0.0 || factor > 1.0) return colour;
  auto up = [&](int c) { return int(c + (255 - c) * factor); };
  return RGB(up(GetRValue(colour)), up(GetGValue(colour)), up(GetBValue(colour)));
}

BOOL CIconMenu::AppendOwnerDrawnItem(LPCTSTR text, UINT flags, UINT id, int image) {
  if (!m_hMenu && !CreatePopupMenu()) return FALSE;
  auto item = std::make_unique<Item>();
  item->text = text ? text : "";
  item->image = image;
  item->flags = flags;
  item->id = id;
  const BOOL added = ::AppendMenu(m_hMenu, (flags & ~UINT(MF_STRING)) | MF_OWNERDRAW, (flags & MF_SEPARATOR) ? 0 : id,
                                  reinterpret_cast<LPCSTR>(item.get()));
  if (added) m_items.push_back(std::move(item));
  return added;
}

int CIconMenu::AddImage(CBitmap* bitmap, COLORREF transparent) { return Images().Add(bitmap, transparent); }

BOOL CIconMenu::DestroyMenu() {
  m_items.clear();
  return m_hMenu ? CMenu::DestroyMenu() : FALSE;
}

const CIconMenu::Item* CIconMenu::FindItem(UINT id) const {
  for (const auto& item : m_items)
    if (!(item->flags & MF_SEPARATOR) && item->id == id) return item.get();
  return nullptr;
}

void CIconMenu::AlignAccelerators() {
  CClientDC dc(nullptr);
  CFont* old = dc.SelectObject(&MenuFont());
  int widest = 0;
  for (const auto& item : m_items) {
    const int tab = item->text.Find('\t');
    if (tab < 0) continue;
    const CString head = item->text.Left(tab) + " ";
    widest = std::max(widest, int(dc.GetTextExtent(head, head.GetLength()).cx));
  }
  for (const auto& item : m_items) {
    const int tab = item->text.Find('\t');
    if (tab < 0) continue;
    CString head = item->text.Left(tab);
    const CString tail = item->text.Mid(tab);
    while (dc.GetTextExtent(head, head.GetLength()).cx < widest) head += " ";
    item->text = head + tail;
  }
  dc.SelectObject(old);
}

LRESULT CIconMenu::MenuChar(UINT ch) const {
  const char wanted = char(std::tolower(int(ch)));
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    std::string text = m_items[i]->text.GetString();
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    const std::size_t amp = text.find('&');
    if (amp != std::string::npos && amp + 1 < text.size() && text[amp + 1] == wanted)
      return LRESULT(MAKELONG(WORD(i), WORD(2)));
  }
  return 0;
}

void CIconMenu::MeasureItem(LPMEASUREITEMSTRUCT mis) {
  if (!mis) return;
  const Look look = CurrentLook(nullptr);
  const int gap = Gap(look);
  const Item* item = FindItem(mis->itemID);
  if (!item) {
    // A separator (it has no command).
    mis->itemWidth = 0;
    mis->itemHeight = UINT(std::max(::GetSystemMetrics(SM_CYMENU) / 2, (m_iconY + gap) / 2));
    return;
  }
  CClientDC dc(nullptr);
  CFont* old = dc.SelectObject(&MenuFont());
  CString shown = item->text;
  shown.Replace("&", "");
  shown.Replace("\t", "  ");
  const int textWidth = int(dc.GetTextExtent(shown, shown.GetLength()).cx);
  dc.SelectObject(old);
  mis->itemWidth = UINT(look == kXPLook ? m_iconX + textWidth + gap + 8 : textWidth + 2 * m_iconX + 1);
  mis->itemHeight = UINT(std::max(::GetSystemMetrics(SM_CYMENU), m_iconY + gap));
}

void CIconMenu::DrawItem(LPDRAWITEMSTRUCT dis) {
  if (!dis || dis->CtlType != ODT_MENU) return;
  CDC* dc = CDC::FromHandle(dis->hDC);
  const CRect rect(dis->rcItem);
  Item separator;
  separator.flags = MF_SEPARATOR;
  const Item* item = FindItem(dis->itemID);
  if (!item) item = &separator;
  CFont* old = dc->SelectObject(&MenuFont());
  if (CurrentLook(dis->hDC) == kXPLook)
    DrawXP(*dc, *item, rect, dis->itemState);
  else
    DrawClassic(*dc, *item, rect, dis->itemState);
  dc->SelectObject(old);
}

void CIconMenu::DrawMark(CDC& dc, CRect box, bool radio) {
  const COLORREF ink = ::GetSysColor(COLOR_MENUTEXT);
  const CPoint c = box.CenterPoint();
  if (radio) {
    CBrush brush(ink);
    CBrush* oldBrush = dc.SelectObject(&brush);
    dc.Ellipse(c.x - 3, c.y - 3, c.x + 3, c.y + 3);
    dc.SelectObject(oldBrush);
    return;
  }
  CPen pen(PS_SOLID, 1, ink);
  CPen* oldPen = dc.SelectObject(&pen);
  for (int dy = 0; dy < 3; ++dy) {
    dc.MoveTo(c.x - 3, c.y - 1 + dy);
    dc.LineTo(c.x - 1, c.y + 1 + dy);
    dc.LineTo(c.x + 4, c.y - 4 + dy);
  }
  dc.SelectObject(oldPen);
}

void CIconMenu::DrawXP(CDC& dc, const Item& item, CRect rect, UINT state) {
  const bool themed = g_version == 7 && !IsClassicTheme();
  const int column = m_iconX + Gap(kXPLook);
  COLORREF iconColumn = ::GetSysColor(COLOR_BTNFACE);
  if (!themed) iconColumn = LightenColor(iconColumn, 0.25);
  const COLORREF background = ::GetSysColor(COLOR_WINDOW);
  const COLORREF frame = ::GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF highlight = LightenColor(frame, themed ? 0.7 : 0.85);
  const bool selected = (state & ODS_SELECTED) != 0 && !(item.flags & MF_SEPARATOR);
  const bool disabled = (state & (ODS_GRAYED | ODS_DISABLED)) != 0;
  if (selected) {
    Fill(dc, rect, highlight);
    CBrush brush(frame);
    dc.FrameRect(&rect, &brush);
  } else {
    Fill(dc, CRect(rect.left, rect.top, rect.left + column, rect.bottom), iconColumn);
    Fill(dc, CRect(rect.left + column, rect.top, rect.right, rect.bottom), background);
  }
  if (item.flags & MF_SEPARATOR) {
    const int y = (rect.top + rect.bottom) / 2;
    Fill(dc, CRect(rect.left + column + 8, y, rect.right, y + 1), iconColumn);
    return;
  }
  const CRect iconBox(rect.left, rect.top, rect.left + column, rect.bottom);
  if (item.image >= 0) {
    const CPoint at(iconBox.left + (iconBox.Width() - m_iconX) / 2, iconBox.top + (iconBox.Height() - m_iconY) / 2);
    Images().Draw(&dc, item.image, at, ILD_TRANSPARENT);
  } else if (state & ODS_CHECKED) {
    CRect box(iconBox.left + 2, iconBox.top + 2, iconBox.right - 2, iconBox.bottom - 2);
    Fill(dc, box, LightenColor(frame, 0.85));
    CBrush brush(frame);
    dc.FrameRect(&box, &brush);
    DrawMark(dc, box, (item.flags & MFT_RADIOCHECK) != 0);
  }
  COLORREF text = ::GetSysColor(COLOR_MENUTEXT);
  if (disabled) {
    text = ::GetSysColor(COLOR_GRAYTEXT);
    if (!themed && !selected) text = LightenColor(text, 0.4);
  }
  dc.SetTextColor(text);
  dc.SetBkMode(TRANSPARENT);
  const CString& all = item.text;
  const int first = all.Find('\t'), last = all.ReverseFind('\t');
  CString head = first < 0 ? all : all.Left(first);
  CRect textRect(rect.left + column + 8, rect.top, rect.right, rect.bottom);
  dc.DrawText(head, &textRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  if (last >= 0) {
    CString tail = all.Mid(last + 1);
    CRect accel(textRect.left, rect.top, rect.right - m_iconX, rect.bottom);
    dc.DrawText(tail, &accel, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
  }
}

void CIconMenu::DrawClassic(CDC& dc, const Item& item, CRect rect, UINT state) {
  const bool themed = g_version == 7 && !IsClassicTheme();
  const COLORREF background = ::GetSysColor(themed ? COLOR_BTNFACE : COLOR_MENU);
  Fill(dc, rect, background);
  if (item.flags & MF_SEPARATOR) {
    CRect line(rect.left, (rect.top + rect.bottom) / 2, rect.right, rect.bottom);
    dc.DrawEdge(&line, EDGE_ETCHED, BF_TOP);
    return;
  }
  const bool selected = (state & ODS_SELECTED) != 0;
  const bool checked = (state & ODS_CHECKED) != 0;
  const bool disabled = (state & (ODS_GRAYED | ODS_DISABLED)) != 0;
  const bool hasMark = item.image >= 0 || checked;
  const int offset = std::max((rect.Height() - m_iconY - 4) / 2, 0);
  const CRect iconBox(rect.left + 1, rect.top + offset + 1, rect.left + m_iconX + 3, rect.top + offset + m_iconY + 3);
  if (selected) {
    CRect hi = rect;
    if (hasMark) hi.left = rect.left + m_iconX + 5;
    Fill(dc, hi, ::GetSysColor(COLOR_HIGHLIGHT));
  }
  if (item.image >= 0) {
    if (checked) Fill(dc, iconBox, LightenColor(background, 0.6));
    Images().Draw(&dc, item.image, CPoint(rect.left + 2, rect.top + offset + 2), ILD_TRANSPARENT);
    if (selected || checked) {
      const COLORREF hi = ::GetSysColor(COLOR_3DHILIGHT), lo = ::GetSysColor(COLOR_3DSHADOW);
      dc.Draw3dRect(&iconBox, checked ? lo : hi, checked ? hi : lo);
    }
  } else if (checked) {
    Fill(dc, iconBox, selected ? background : LightenColor(background, 0.6));
    dc.DrawEdge(const_cast<CRect*>(&iconBox), EDGE_SUNKEN, BF_RECT);
    DrawMark(dc, iconBox, (item.flags & MFT_RADIOCHECK) != 0);
  }
  dc.SetBkMode(TRANSPARENT);
  const CString& all = item.text;
  const int first = all.Find('\t'), last = all.ReverseFind('\t');
  const CString head = first < 0 ? all : all.Left(first);
  const CString tail = last < 0 ? CString() : all.Mid(last + 1);
  CRect textRect(rect.left + m_iconX + 8, rect.top, rect.right - m_iconX, rect.bottom);
  auto write = [&](CRect r, COLORREF c) {
    dc.SetTextColor(c);
    dc.DrawText(head, &r, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (!tail.IsEmpty()) dc.DrawText(tail, &r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
  };
  if (disabled) {
    CRect shifted = textRect;
    shifted.OffsetRect(1, 1);
    write(shifted, ::GetSysColor(COLOR_3DHILIGHT));
    write(textRect, ::GetSysColor(COLOR_3DSHADOW));
  } else {
    write(textRect, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  }
}
