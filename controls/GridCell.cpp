#include "controls/GridCell.h"

#include <cstring>

#include "controls/GridCtrl.h"
#include "controls/GridInPlace.h"

IMPLEMENT_DYNAMIC(CGridCellBase, CObject)
IMPLEMENT_DYNCREATE(CGridCell, CGridCellBase)
IMPLEMENT_DYNCREATE(CGridDefaultCell, CGridCell)

namespace {
// Cells with a font of their own share one realised font: the caller uses it before the next call.
CFont& SharedCellFont() {
  static CFont font;
  return font;
}
}  // namespace

CGridCellBase* CGridCellBase::GetDefaultCell() const {
  CGridCtrl* grid = GetGrid();
  if (!grid) return nullptr;
  return grid->GetDefaultCell((GetState() & GVIS_FIXEDROW) != 0, (GetState() & GVIS_FIXEDCOL) != 0);
}

CGridCellBase& CGridCellBase::operator=(const CGridCellBase& other) {
  if (this == &other) return *this;
  SetGrid(other.GetGrid());
  SetText(other.GetText());
  SetImage(other.GetImage());
  SetData(other.GetData());
  SetState(other.GetState());
  SetFormat(other.GetFormat());
  SetTextClr(other.GetTextClr());
  SetBackClr(other.GetBackClr());
  SetFont(other.IsDefaultFont() ? nullptr : other.GetFont());
  SetMargin(other.GetMargin());
  return *this;
}

bool CGridCellBase::ImageSize(CSize& size) const {
  CGridCtrl* grid = GetGrid();
  if (!grid || !grid->GetImageList() || GetImage() < 0) return false;
  IMAGEINFO info{};
  if (!grid->GetImageList()->GetImageInfo(GetImage(), &info)) return false;
  size = CSize(info.rcImage.right - info.rcImage.left, info.rcImage.bottom - info.rcImage.top);
  return true;
}

void CGridCellBase::DrawRaisedEdges(CDC* dc, CRect& rect) {
  CPen light(PS_SOLID, 1, ::GetSysColor(COLOR_3DHILIGHT));
  CPen dark(PS_SOLID, 1, ::GetSysColor(COLOR_3DDKSHADOW));
  CPen* old = dc->SelectObject(&light);
  dc->MoveTo(rect.right, rect.top);
  dc->LineTo(rect.left, rect.top);
  dc->LineTo(rect.left, rect.bottom);
  dc->SelectObject(&dark);
  dc->MoveTo(rect.right, rect.top);
  dc->LineTo(rect.right, rect.bottom);
  dc->LineTo(rect.left, rect.bottom);
  dc->SelectObject(old);
  rect.DeflateRect(1, 1);
}

BOOL CGridCellBase::Draw(CDC* dc, int row, int col, CRect rect, BOOL eraseBkgnd) {
  CGridCtrl* grid = GetGrid();
  if (!grid || !dc || rect.Width() <= 0 || rect.Height() <= 0) return FALSE;
  CGridCellBase* def = GetDefaultCell();
  if (!def) return FALSE;
  int saved = dc->SaveDC();
  dc->SetBkMode(TRANSPARENT);

  COLORREF textClr = GetTextClr() != CLR_DEFAULT ? GetTextClr() : def->GetTextClr();
  COLORREF backClr = def->GetBackClr();
  if (GetBackClr() != CLR_DEFAULT) {
    backClr = GetBackClr();
    eraseBkgnd = TRUE;
  }
  const int lines = grid->GetGridLines();
  if (!IsFocused() && !IsDropHighlighted()) {
    CRect fill = rect;
    fill.right++;
    fill.bottom++;
    if (IsSelected()) {
      dc->FillSolidRect(&fill, ::GetSysColor(COLOR_HIGHLIGHT));
      textClr = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else if (eraseBkgnd) {
      dc->FillSolidRect(&fill, backClr);
    }
    dc->SetTextColor(textClr);
  } else {
    if (IsSelected()) {
      backClr = ::GetSysColor(COLOR_HIGHLIGHT);
      textClr = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
      eraseBkgnd = TRUE;
    }
    rect.right++;
    rect.bottom++;
    if (eraseBkgnd) dc->FillSolidRect(&rect, backClr);
    if (lines != GVL_NONE) {
      rect.right--;
      rect.bottom--;
    }
    if (grid->GetFrameFocusCell()) {
      CBrush frame(textClr);
      dc->FrameRect(&rect, &frame);
    }
    dc->SetTextColor(textClr);
    if (lines == GVL_NONE) {
      rect.right--;
      rect.bottom--;
    }
    rect.DeflateRect(0, 1, 1, 1);
  }

  if (IsFixed() && lines != GVL_NONE) {
    CCellID focus = grid->GetFocusCell();
    if (grid->GetTrackFocusCell() && grid->IsValid(focus) && (focus.row == row || focus.col == col)) {
      rect.right++;
      rect.bottom++;
      dc->DrawEdge(&rect, BDR_SUNKENINNER, BF_RECT);
      rect.DeflateRect(1, 1);
    } else {
      DrawRaisedEdges(dc, rect);
    }
  }

  if (!dc->IsPrinting()) {
    if (CFont* font = GetFontObject(); font && font->GetSafeHandle()) dc->SelectObject(font);
  }
  const int margin = int(GetMargin());
  rect.DeflateRect(margin, 0);

  CSize image;
  if (ImageSize(image) && image.cx + rect.left <= rect.right + 2 * margin &&
      image.cy + rect.top <= rect.bottom + 2 * margin) {
    grid->GetImageList()->Draw(dc, GetImage(), rect.TopLeft(), ILD_NORMAL);
  }

  if (row == 0 && col == grid->GetSortColumn()) {
    CSize m = dc->GetTextExtent("M", 1);
    int h = std::min(int(m.cy) - 4, rect.Height() - 4);
    if (h > 0 && rect.left + h < rect.right + 2 * margin) {
      const LOGFONT* lf = GetFont();
      bool vertical = lf && lf->lfEscapement == 900;
      int left = vertical ? (rect.right - h + rect.left) / 2 : rect.right - h;
      int base = rect.bottom - h;
      CPen shadow(PS_SOLID, 1, ::GetSysColor(COLOR_3DSHADOW));
      CPen light(PS_SOLID, 1, ::GetSysColor(COLOR_3DHILIGHT));
      CPen* old = dc->SelectObject(&shadow);
      for (int pass = 0; pass < 2; ++pass) {
        dc->SelectObject(pass == 0 ? &shadow : &light);
        int dx = pass;
        if (grid->GetSortAscending()) {
          dc->MoveTo(left + dx, base + h);
          dc->LineTo(left + h / 2 + dx, base);
          dc->LineTo(left + h + dx, base + h);
          dc->LineTo(left + dx, base + h);
        } else {
          dc->MoveTo(left + dx, base);
          dc->LineTo(left + h / 2 + dx, base + h);
          dc->LineTo(left + h + dx, base);
          dc->LineTo(left + dx, base);
        }
      }
      dc->SelectObject(old);
      if (!vertical) rect.right -= h;
    }
  }

  GetTextRect(&rect);
  dc->DrawText(GetText(), -1, &rect, GetFormat() | DT_NOPREFIX);
  dc->RestoreDC(saved);
  return TRUE;
}

BOOL CGridCellBase::GetTextRect(LPRECT rect) {
  CSize image;
  if (ImageSize(image)) rect->left += image.cx + int(GetMargin());
  return TRUE;
}

CSize CGridCellBase::GetTextExtent(LPCTSTR text, CDC* dc) {
  CGridCtrl* grid = GetGrid();
  CGridDefaultCell* def = static_cast<CGridDefaultCell*>(GetDefaultCell());
  std::unique_ptr<CClientDC> own;
  if (!dc && text && *text && grid && grid->GetSafeHwnd()) {
    own = std::make_unique<CClientDC>(grid);
    dc = own.get();
  }
  if (!dc || !text || !*text) return def ? CSize(def->GetWidth(), def->GetHeight()) : CSize(0, 0);
  CFont* old = nullptr;
  if (CFont* font = GetFontObject(); font && font->GetSafeHandle()) old = dc->SelectObject(font);
  const DWORD format = GetFormat();
  CSize size;
  if (!(format & DT_WORDBREAK) || (format & DT_SINGLELINE)) {
    size = dc->GetTextExtent(text, int(std::strlen(text)));
  } else {
    CString all(text);
    int widest = 0, start = 0;
    while (start <= all.GetLength()) {
      int end = all.Find('\n', start);
      if (end < 0) end = all.GetLength();
      CString line = all.Mid(start, end - start);
      widest = std::max(widest, int(dc->GetTextExtent(line).cx));
      start = end + 1;
    }
    CRect calc(0, 0, widest + 1, 0);
    dc->DrawText(text, -1, &calc, format | DT_CALCRECT);
    size = calc.Size();
  }
  TEXTMETRIC tm{};
  dc->GetTextMetrics(&tm);
  const int margin = int(GetMargin());
  size.cx += tm.tmOverhang + 4 * margin;
  size.cy += 2 * margin;
  if (const LOGFONT* lf = GetFont(); lf && (lf->lfEscapement == 900 || lf->lfEscapement == -900)) {
    int w = size.cx;
    size.cx = size.cy;
    size.cy = w + 4 * margin;
  }
  if (old) dc->SelectObject(old);
  return size;
}

CSize CGridCellBase::GetCellExtent(CDC* dc) {
  CSize size = GetTextExtent(GetText(), dc);
  CSize image;
  if (ImageSize(image)) {
    size.cx += image.cx;
    size.cy = std::max(size.cy, image.cy);
  }
  return size;
}

BOOL CGridCellBase::PrintCell(CDC* dc, int row, int col, CRect rect) {
  CGridCtrl* grid = GetGrid();
  if (!grid || !dc || rect.Width() <= 0 || rect.Height() <= 0) return FALSE;
  CGridCellBase* def = GetDefaultCell();
  if (!def) return FALSE;
  int saved = dc->SaveDC();
  dc->SetBkMode(TRANSPARENT);
  COLORREF textClr = RGB(0, 0, 0);
  COLORREF backClr = CLR_DEFAULT;
  if (grid->GetPrintColour()) {
    if (IsFixed())
      backClr = GetBackClr() != CLR_DEFAULT ? GetBackClr() : def->GetBackClr();
    else if (GetBackClr() != CLR_DEFAULT && GetBackClr() != def->GetBackClr())
      backClr = GetBackClr();
    textClr = GetTextClr() != CLR_DEFAULT ? GetTextClr() : def->GetTextClr();
  }
  if (dc->GetDeviceCaps(NUMCOLORS) == 2 && backClr == CLR_DEFAULT) {
    textClr = RGB(int(GetRValue(textClr) * 0.3), int(GetGValue(textClr) * 0.59), int(GetBValue(textClr) * 0.11));
  } else if (backClr != CLR_DEFAULT) {
    CRect fill = rect;
    fill.right++;
    fill.bottom++;
    dc->FillSolidRect(&fill, backClr);
  }
  dc->SetTextColor(textClr);
  if (CFont* font = GetFontObject(); font && font->GetSafeHandle()) dc->SelectObject(font);
  if (IsFixed() && grid->GetGridLines() != GVL_NONE) DrawRaisedEdges(dc, rect);
  const int margin = int(GetMargin());
  rect.DeflateRect(margin, 0);
  CSize image;
  if (ImageSize(image)) {
    grid->GetImageList()->Draw(dc, GetImage(), rect.TopLeft(), ILD_NORMAL);
    rect.left += margin + image.cx;
  }
  dc->DrawText(GetText(), -1, &rect, GetFormat() | DT_NOPREFIX);
  dc->RestoreDC(saved);
  return TRUE;
}

BOOL CGridCellBase::OnSetCursor() {
  ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
  return TRUE;
}

// ---- CGridCell ------------------------------------------------------------------------------------------------------

CGridCell::CGridCell() = default;

CGridCell::~CGridCell() { delete m_plfFont; }

void CGridCell::SetFont(const LOGFONT* font) {
  if (!font) {
    delete m_plfFont;
    m_plfFont = nullptr;
    return;
  }
  if (!m_plfFont) m_plfFont = new LOGFONT;
  *m_plfFont = *font;
}

DWORD CGridCell::GetFormat() const {
  if (m_nFormat != DWORD(-1)) return m_nFormat;
  CGridCellBase* def = GetDefaultCell();
  return def ? def->GetFormat() : 0;
}

const LOGFONT* CGridCell::GetFont() const {
  if (m_plfFont) return m_plfFont;
  CGridCellBase* def = GetDefaultCell();
  return def ? def->GetFont() : nullptr;
}

CFont* CGridCell::GetFontObject() const {
  if (m_plfFont) {
    CFont& shared = SharedCellFont();
    shared.DeleteObject();
    shared.CreateFontIndirect(m_plfFont);
    return &shared;
  }
  CGridCellBase* def = GetDefaultCell();
  return def ? def->GetFontObject() : nullptr;
}

UINT CGridCell::GetMargin() const {
  if (m_nMargin != UINT(-1)) return m_nMargin;
  CGridCellBase* def = GetDefaultCell();
  return def ? def->GetMargin() : 0;
}

void CGridCell::Reset() {
  CGridCellBase::Reset();
  m_strText.Empty();
  m_nImage = -1;
  m_nFormat = DWORD(-1);
  m_crFgClr = m_crBkClr = CLR_DEFAULT;
  SetFont(nullptr);
  m_nMargin = UINT(-1);
  m_lParam = 0;
  m_bEditing = FALSE;
  m_pGrid = nullptr;
  m_pEditWnd = nullptr;
}

BOOL CGridCell::Edit(int row, int col, CRect rect, CPoint, UINT id, UINT nChar) {
  if (!m_bEditing) {
    const DWORD format = GetFormat();
    DWORD style = (format & DT_RIGHT) ? ES_RIGHT : (format & DT_CENTER) ? ES_CENTER : ES_LEFT;
    m_bEditing = TRUE;
    m_pEditWnd = new CGridInPlaceEdit(GetGrid(), rect, style, id, row, col, GetText(), nChar);
  } else if (m_pEditWnd) {
    m_pEditWnd->SendMessage(WM_CHAR, nChar);
  }
  return TRUE;
}

void CGridCell::EndEdit() {
  if (auto* edit = dynamic_cast<CGridInPlaceEdit*>(m_pEditWnd)) edit->EndEdit();
}

void CGridCell::CancelEdit() {
  if (auto* edit = dynamic_cast<CGridInPlaceEdit*>(m_pEditWnd)) edit->CancelEdit();
}

// ---- CGridDefaultCell -----------------------------------------------------------------------------------------------

CGridDefaultCell::CGridDefaultCell() {
  m_nFormat = DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
  m_crFgClr = m_crBkClr = CLR_DEFAULT;
  NONCLIENTMETRICS ncm{};
  ncm.cbSize = sizeof(ncm);
  ::SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
  SetFont(&ncm.lfMessageFont);
}

void CGridDefaultCell::SetFont(const LOGFONT* font) {
  if (!font) return;
  m_Font.DeleteObject();
  m_Font.CreateFontIndirect(font);
  CGridCell::SetFont(font);
  HDC screen = ::GetDC(nullptr);
  if (!screen) {
    m_nMargin = 3;
    m_Size = CSize(40, 16);
    return;
  }
  CDC* dc = CDC::FromHandle(screen);
  CFont* old = dc->SelectObject(&m_Font);
  m_nMargin = UINT(dc->GetTextExtent(" ", 1).cx);
  m_Size = dc->GetTextExtent(" XXXXXXXXXXXX ", 14);
  m_Size.cy = m_Size.cy * 3 / 2;
  dc->SelectObject(old);
  ::ReleaseDC(nullptr, screen);
}
