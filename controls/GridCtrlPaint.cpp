// The grid control: painting through an off-screen buffer, and scrolling.
#include "controls/GridCtrl.h"

#include <algorithm>

// ---- drawing -------------------------------------------------------------------------------------------------------

// The off-screen buffer of one paint: over a printing DC it draws straight into that DC.
class CGridMemDC : public CDC {
 public:
  explicit CGridMemDC(CDC* target) : m_pTarget(target), m_bMemDC(!target->IsPrinting()) {
    target->GetClipBox(&m_rect);
    if (!m_bMemDC || m_rect.IsRectEmpty()) {
      m_bMemDC = false;
      Attach(target->GetSafeHdc());
      m_bPrinting = target->IsPrinting();
      return;
    }
    CreateCompatibleDC(target);
    m_bitmap.CreateCompatibleBitmap(target, m_rect.Width(), m_rect.Height());
    m_pOldBitmap = SelectObject(&m_bitmap);
    SetWindowOrg(m_rect.left, m_rect.top);
    FillSolidRect(&m_rect, target->GetBkColor());
  }
  ~CGridMemDC() override {
    if (m_bMemDC) {
      m_pTarget->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top,
                        SRCCOPY);
      SelectObject(m_pOldBitmap);
    } else {
      Detach();
    }
  }

 private:
  CDC* m_pTarget;
  bool m_bMemDC;
  CRect m_rect;
  CBitmap m_bitmap;
  CBitmap* m_pOldBitmap = nullptr;
};

void CGridCtrl::OnPaint() {
  CPaintDC dc(this);
  if (m_bDoubleBuffer) {
    CGridMemDC mem(&dc);
    OnDraw(&mem);
  } else {
    OnDraw(&dc);
  }
}

void CGridCtrl::SendCacheHintToParent(const CCellBlock& range) const {
  if (!m_hWnd) return;
  struct {
    NMHDR hdr;
    CCellBlock range;
  } hint{};
  hint.hdr.hwndFrom = m_hWnd;
  hint.hdr.idFrom = UINT_PTR(GetDlgCtrlID());
  hint.hdr.code = UINT(GVN_ODCACHEHINT);
  hint.range = range;
  if (CWnd* owner = GetOwner()) owner->SendMessage(WM_NOTIFY, hint.hdr.idFrom, LPARAM(&hint));
}

void CGridCtrl::PaintBackground(CDC* dc) {
  CRect clip;
  if (dc->GetClipBox(&clip) == ERROR) return;
  CRect visible;
  GetVisibleNonFixedCellRange(&visible);
  const int fixedW = GetFixedColumnWidth(), fixedH = GetFixedRowHeight();
  if (clip.left < fixedW && clip.top < fixedH)
    dc->FillSolidRect(CRect(clip.left, clip.top, fixedW, fixedH), m_cellFixedRowColDef.GetBackClr());
  if (clip.left < fixedW && clip.top < visible.bottom)
    dc->FillSolidRect(CRect(clip.left, clip.top, fixedW, visible.bottom), m_cellFixedColDef.GetBackClr());
  if (clip.top < fixedH && clip.right > fixedW && clip.left < visible.right)
    dc->FillSolidRect(CRect(fixedW - 1, clip.top, visible.right, fixedH), m_cellFixedRowDef.GetBackClr());
  CRect data;
  if (data.IntersectRect(&clip, &visible)) {
    data.left = std::max(int(data.left), fixedW);
    data.top = std::max(int(data.top), fixedH);
    if (data.left < data.right && data.top < data.bottom) dc->FillSolidRect(&data, m_cellDefault.GetBackClr());
  }
  const COLORREF outside = ::GetSysColor(COLOR_3DFACE);
  if (visible.right < clip.right) dc->FillSolidRect(CRect(visible.right, clip.top, clip.right, clip.bottom), outside);
  if (visible.bottom < clip.bottom)
    dc->FillSolidRect(CRect(clip.left, visible.bottom, visible.right, clip.bottom), outside);
}

void CGridCtrl::OnDraw(CDC* dc) {
  if (!m_bAllowDraw) return;
  CRect clip;
  if (dc->GetClipBox(&clip) == ERROR) return;
  PaintBackground(dc);
  const int fixedH = GetFixedRowHeight(), fixedW = GetFixedColumnWidth();
  CRect visible;
  CCellBlock range = GetVisibleNonFixedCellRange(&visible);
  if (m_bVirtual) SendCacheHintToParent(range);

  auto drawCell = [&](int row, int col, const CRect& rect, BOOL erase) {
    if (CGridCellBase* cell = GetCell(row, col)) {
      cell->SetCoords(row, col);
      cell->Draw(dc, row, col, rect, erase);
    }
  };
  // Rows (columns) of a span, each with its rectangle, clipped against the clip box.
  auto forRows = [&](int first, int last, int y, auto&& body) {
    for (int row = first; row <= last; ++row) {
      const int h = GetRowHeight(row);
      if (h <= 0) continue;
      const int top = y;
      y += h;
      if (top > clip.bottom) break;
      if (y - 1 < clip.top) continue;
      body(row, top, top + h - 1);
    }
  };
  auto forCols = [&](int first, int last, int x, auto&& body) {
    for (int col = first; col <= last; ++col) {
      const int w = GetColumnWidth(col);
      if (w <= 0) continue;
      const int left = x;
      x += w;
      if (left > clip.right) break;
      if (x - 1 < clip.left) continue;
      body(col, left, left + w - 1);
    }
  };

  forRows(0, m_nFixedRowCount - 1, 0, [&](int row, int top, int bottom) {
    forCols(0, m_nFixedColCount - 1, 0,
            [&](int col, int left, int right) { drawCell(row, col, CRect(left, top, right, bottom), FALSE); });
  });
  forRows(range.minRow, range.maxRow, fixedH, [&](int row, int top, int bottom) {
    forCols(0, m_nFixedColCount - 1, 0,
            [&](int col, int left, int right) { drawCell(row, col, CRect(left, top, right, bottom), FALSE); });
  });
  forRows(0, m_nFixedRowCount - 1, 0, [&](int row, int top, int bottom) {
    forCols(range.minCol, range.maxCol, fixedW,
            [&](int col, int left, int right) { drawCell(row, col, CRect(left, top, right, bottom), FALSE); });
  });
  forRows(range.minRow, range.maxRow, fixedH, [&](int row, int top, int bottom) {
    forCols(range.minCol, range.maxCol, fixedW,
            [&](int col, int left, int right) { drawCell(row, col, CRect(left, top, right, bottom), FALSE); });
  });

  CPen pen(PS_SOLID, 1, m_crGridLineColour);
  CPen* old = dc->SelectObject(&pen);
  if (m_nLineStyle & GVL_VERT) {
    int x = fixedW;
    for (int col = range.minCol; col <= range.maxCol && col >= 0; ++col) {
      if (GetColumnWidth(col) <= 0) continue;
      x += GetColumnWidth(col);
      dc->MoveTo(x - 1, fixedH);
      dc->LineTo(x - 1, visible.bottom);
    }
  }
  if (m_nLineStyle & GVL_HORZ) {
    int y = fixedH;
    for (int row = range.minRow; row <= range.maxRow && row >= 0; ++row) {
      if (GetRowHeight(row) <= 0) continue;
      y += GetRowHeight(row);
      dc->MoveTo(fixedW, y - 1);
      dc->LineTo(visible.right, y - 1);
    }
  }
  dc->SelectObject(old);
  if (m_bVirtual) SendCacheHintToParent(CCellBlock());
}

BOOL CGridCtrl::RedrawCell(int row, int col, CDC* dc) {
  if (!m_bAllowDraw || !IsCellVisible(row, col)) return FALSE;
  CRect rect;
  if (!GetCellRect(row, col, &rect)) return FALSE;
  std::unique_ptr<CClientDC> own;
  if (!dc) {
    own = std::make_unique<CClientDC>(this);
    if (!own->GetSafeHdc()) {
      InvalidateRect(&rect, TRUE);
      return FALSE;
    }
    dc = own.get();
  }
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return FALSE;
  cell->SetCoords(row, col);
  BOOL drawn = cell->Draw(dc, row, col, rect, TRUE);
  if (!IsCellFixed(row, col)) {
    CPen pen(PS_SOLID, 1, m_crGridLineColour);
    CPen* old = dc->SelectObject(&pen);
    if (m_nLineStyle & GVL_HORZ) {
      dc->MoveTo(rect.left, rect.bottom);
      dc->LineTo(rect.right + 1, rect.bottom);
    }
    if (m_nLineStyle & GVL_VERT) {
      dc->MoveTo(rect.right, rect.top);
      dc->LineTo(rect.right, rect.bottom + 1);
    }
    dc->SelectObject(old);
  }
  return drawn;
}

BOOL CGridCtrl::InvalidateCellRect(int row, int col) {
  if (!GetSafeHwnd() || !m_bAllowDraw || !IsValid(row, col) || !IsCellVisible(row, col)) return FALSE;
  CRect rect;
  if (!GetCellRect(row, col, &rect)) return FALSE;
  rect.right++;
  rect.bottom++;
  InvalidateRect(&rect, TRUE);
  return TRUE;
}

void CGridCtrl::RedrawAll() {
  if (m_bAllowDraw && GetSafeHwnd()) Invalidate();
}

void CGridCtrl::SetRedraw(BOOL allow, BOOL resetScroll) {
  if (allow && !m_bAllowDraw) {
    m_bAllowDraw = TRUE;
    if (resetScroll) ResetScrollBars();
    RedrawAll();
  }
  m_bAllowDraw = allow;
}

// ---- scrolling -----------------------------------------------------------------------------------------------------

void CGridCtrl::OnSize(UINT, int, int) {
  static bool inside = false;
  if (inside || !GetSafeHwnd()) return;
  inside = true;
  EndEditing();
  Default();
  ResetScrollBars();
  inside = false;
}

void CGridCtrl::OnVScroll(UINT code, UINT, CScrollBar*) { ScrollAlong(SB_VERT, code); }

void CGridCtrl::OnHScroll(UINT code, UINT, CScrollBar*) { ScrollAlong(SB_HORZ, code); }

// Rows down the vertical bar, columns along the horizontal one; the line codes of both bars share their numbers.
void CGridCtrl::ScrollAlong(int bar, UINT code) {
  EndEditing();
  m_TitleTip.Hide();
  const bool vertical = bar == SB_VERT;
  CCellID topLeft = GetTopleftNonFixedCell();
  CRect client;
  GetClientRect(&client);
  const int pos = GetScrollPos32(bar);
  const int fixed = vertical ? GetFixedRowHeight() : GetFixedColumnWidth();
  const int page = std::max(0, int(vertical ? client.Height() : client.Width()) - fixed);
  CRect scrolled = vertical ? CRect(client.left, fixed, client.right, client.bottom)
                            : CRect(fixed, client.top, client.right, client.bottom);
  const int first = vertical ? topLeft.row : topLeft.col;
  const int fixedCount = vertical ? m_nFixedRowCount : m_nFixedColCount;
  const int count = vertical ? m_nRowCount : m_nColCount;
  auto size = [&](int i) { return vertical ? GetRowHeight(i) : GetColumnWidth(i); };
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  CWnd::GetScrollInfo(bar, &si);
  const int maxPos = std::max(0, si.nMax - std::max(int(si.nPage), 1) + 1);
  switch (code) {
    case SB_LINEUP:
      if (pos > 0 && first > fixedCount) {
        int i = first - 1;
        while (i > fixedCount && size(i) < 1) --i;
        SetScrollPos32(bar, std::max(0, pos - size(i)));
        InvalidateRect(&scrolled);
      }
      break;
    case SB_LINEDOWN:
      if (pos < maxPos) {
        int i = first;
        while (i < count - 1 && size(i) < 1) ++i;
        SetScrollPos32(bar, pos + std::max(0, size(i)));
        if (GetScrollPos32(bar) != pos) InvalidateRect(&scrolled);
      }
      break;
    case SB_PAGEUP:
      if (pos > 0) {
        SetScrollPos32(bar, std::max(0, pos - page));
        InvalidateRect(&scrolled);
      }
      break;
    case SB_PAGEDOWN:
      if (pos < maxPos) {
        SetScrollPos32(bar, std::min(maxPos, pos + page));
        InvalidateRect(&scrolled);
      }
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      SetScrollPos32(bar, GetScrollPos32(bar, TRUE));
      if (GetTopleftNonFixedCell(TRUE) != topLeft) InvalidateRect(&scrolled);
      break;
    case SB_TOP:
      if (pos > 0) {
        SetScrollPos32(bar, 0);
        Invalidate();
      }
      break;
    case SB_BOTTOM:
      if (pos < maxPos) {
        SetScrollPos32(bar, maxPos);
        Invalidate();
      }
      break;
    default: break;
  }
  m_idTopLeftCell = CCellID();
}

BOOL CGridCtrl::OnMouseWheel(UINT, short delta, CPoint) {
  if (m_nWheelLines != -1) {
    const int n = delta * m_nWheelLines / 120;
    for (int i = 0; i < n; ++i) PostMessage(WM_VSCROLL, SB_LINEUP);
    for (int i = 0; i < -n; ++i) PostMessage(WM_VSCROLL, SB_LINEDOWN);
  } else {
    const int n = delta / 120;
    for (int i = 0; i < n; ++i) PostMessage(WM_VSCROLL, SB_PAGEUP);
    for (int i = 0; i < -n; ++i) PostMessage(WM_VSCROLL, SB_PAGEDOWN);
  }
  Default();
  return TRUE;
}
