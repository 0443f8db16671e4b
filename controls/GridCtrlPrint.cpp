// The grid control: printing the grid over pages with column headings, header and footer.
#include "controls/GridCtrl.h"

#include <algorithm>
#include <ctime>

// ---- printing ------------------------------------------------------------------------------------------------------

void CGridCtrl::SetPrintMarginInfo(int header, int footer, int left, int right, int top, int bottom, int gap) {
  if (header >= 0) m_nHeaderHeight = header;
  if (footer >= 0) m_nFooterHeight = footer;
  if (left >= 0) m_nLeftMargin = left;
  if (right >= 0) m_nRightMargin = right;
  if (top >= 0) m_nTopMargin = top;
  if (bottom >= 0) m_nBottomMargin = bottom;
  if (gap >= 0) m_nGap = gap;
}

void CGridCtrl::OnBeginPrinting(CDC* dc, CPrintInfo* info) {
  if (!dc || !info) return;
  m_PrinterFont.DeleteObject();
  m_PrinterFont.CreateFont(-10, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_CHARACTER_PRECIS,
                           CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
  CFont* old = dc->SelectObject(&m_PrinterFont);
  static const char kSample[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXYZ";
  CSize sample = dc->GetTextExtent(kSample, 52);
  m_CharSize = CSize(std::max(1, int(sample.cx / 52)), std::max(1, int(sample.cy)));
  const int marginWidth = (m_nLeftMargin + m_nRightMargin) * m_CharSize.cx;
  m_PaperSize = CSize(dc->GetDeviceCaps(HORZRES), dc->GetDeviceCaps(VERTRES));
  if (m_bPrintAtScreenScale) {
    HDC screen = ::GetDC(m_hWnd);
    const int sx = ::GetDeviceCaps(screen, LOGPIXELSX), sy = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(m_hWnd, screen);
    const int px = std::max(1, dc->GetDeviceCaps(LOGPIXELSX)), py = std::max(1, dc->GetDeviceCaps(LOGPIXELSY));
    m_LogicalPageSize = CSize(m_PaperSize.cx * sx / px * 3 / 4, m_PaperSize.cy * sy / py * 3 / 4);
  } else {
    m_LogicalPageSize.cx = int(GetVirtualWidth()) + marginWidth;
    m_LogicalPageSize.cy = ::MulDiv(m_LogicalPageSize.cx, m_PaperSize.cy, std::max(1, int(m_PaperSize.cx)));
  }
  m_nPageHeight =
      m_LogicalPageSize.cy - (m_nHeaderHeight + 2 * m_nGap + m_nFooterHeight) * m_CharSize.cy - GetFixedRowHeight();
  int pagesDown = 1, sum = 0;
  for (int r = m_nFixedRowCount; r < m_nRowCount; ++r) {
    const int h = GetRowHeight(r);
    sum += h;
    if (sum > m_nPageHeight && sum != h) {
      ++pagesDown;
      sum = h;
    }
  }
  m_nPageWidth = m_LogicalPageSize.cx - GetFixedColumnWidth() - marginWidth;
  m_nPageMultiplier = 1;
  if (m_bPrintAtScreenScale) {
    sum = 0;
    for (int c = m_nFixedColCount; c < m_nColCount; ++c) {
      const int w = GetColumnWidth(c);
      sum += w;
      if (sum > m_nPageWidth && sum != w) {
        ++m_nPageMultiplier;
        sum = w;
      }
    }
  }
  m_nNumPages = pagesDown * m_nPageMultiplier;
  info->SetMaxPage(UINT(m_nNumPages));
  dc->SelectObject(old);
}

void CGridCtrl::OnPrint(CDC* dc, CPrintInfo* info) {
  if (!dc || !info) return;
  CFont* oldFont = dc->SelectObject(&m_PrinterFont);
  dc->SetMapMode(MM_ANISOTROPIC);
  dc->SetWindowExt(m_LogicalPageSize);
  dc->SetViewportExt(m_PaperSize);
  dc->SetWindowOrg(-m_nLeftMargin * m_CharSize.cx, 0);

  info->m_rectDraw = CRect(0, 0, m_LogicalPageSize.cx - (m_nLeftMargin + m_nRightMargin) * m_CharSize.cx,
                           m_nHeaderHeight * m_CharSize.cy);
  PrintHeader(dc, info);
  dc->OffsetWindowOrg(0, -(m_nHeaderHeight + m_nGap) * m_CharSize.cy);

  // The page's first row and column.
  const int page = int(info->m_nCurPage);
  const int rowPage = (page + m_nPageMultiplier - 1) / m_nPageMultiplier;
  int colPage = page % m_nPageMultiplier;
  if (colPage == 0) colPage = m_nPageMultiplier;
  m_nCurrPrintRow = m_nFixedRowCount;
  for (int p = 1, sum = 0; p < rowPage && m_nCurrPrintRow < m_nRowCount; ++m_nCurrPrintRow) {
    const int h = GetRowHeight(m_nCurrPrintRow);
    sum += h;
    if (sum > m_nPageHeight && sum != h) {
      ++p;
      sum = h;
      if (p == rowPage) break;
    }
  }
  m_nCurrPrintCol = m_nFixedColCount;
  for (int p = 1, sum = 0; p < colPage && m_nCurrPrintCol < m_nColCount; ++m_nCurrPrintCol) {
    const int w = GetColumnWidth(m_nCurrPrintCol);
    sum += w;
    if (sum > m_nPageWidth && sum != w) {
      ++p;
      sum = w;
      if (p == colPage) break;
    }
  }

  PrintColumnHeadings(dc, info);
  PrintRowButtons(dc, info);

  // Body, beside the fixed columns and below the fixed rows.
  const int fixedW = GetFixedColumnWidth(), fixedH = GetFixedRowHeight();
  CPen pen(PS_SOLID, 1, m_crGridLineColour);
  CPen* oldPen = dc->SelectObject(&pen);
  int top = fixedH;
  for (int r = m_nCurrPrintRow; r < m_nRowCount; ++r) {
    const int h = GetRowHeight(r);
    if (h <= 0) continue;
    // The same test as the page count's, so that every row lands on exactly one page.
    if (top - fixedH + h > m_nPageHeight && top > fixedH) break;
    int left = fixedW;
    for (int c = m_nCurrPrintCol; c < m_nColCount; ++c) {
      const int w = GetColumnWidth(c);
      if (w <= 0) continue;
      if (left - fixedW + w > m_nPageWidth && left > fixedW) break;
      CRect rect(left, top, left + w - 1, top + h - 1);
      if (CGridCellBase* cell = GetCell(r, c)) cell->PrintCell(dc, r, c, rect);
      if (m_nLineStyle & GVL_HORZ) {
        const int start = c == m_nCurrPrintCol ? rect.left : rect.left - 1;
        dc->MoveTo(start, rect.bottom);
        dc->LineTo(rect.right, rect.bottom);
        if (r == m_nCurrPrintRow) {
          dc->MoveTo(start, rect.top - 1);
          dc->LineTo(rect.right, rect.top - 1);
        }
      }
      if (m_nLineStyle & GVL_VERT) {
        const int start = r == m_nCurrPrintRow ? rect.top : rect.top - 1;
        dc->MoveTo(rect.right, start);
        dc->LineTo(rect.right, rect.bottom);
        if (c == m_nCurrPrintCol) {
          dc->MoveTo(rect.left - 1, start);
          dc->LineTo(rect.left - 1, rect.bottom);
        }
      }
      left += w;
    }
    top += h;
  }
  dc->SelectObject(oldPen);

  info->m_rectDraw.bottom = m_nFooterHeight * m_CharSize.cy;
  dc->SetWindowOrg(-m_nLeftMargin * m_CharSize.cx, m_nFooterHeight * m_CharSize.cy - m_LogicalPageSize.cy);
  PrintFooter(dc, info);
  dc->SetWindowOrg(0, 0);
  dc->SelectObject(oldFont);
}

void CGridCtrl::PrintFixedRowCells(int startCol, int stopCol, int& row, CRect& rect, CDC* dc, BOOL& first) {
  for (int c = startCol; c < stopCol; ++c) {
    const int w = GetColumnWidth(c);
    if (w <= 0) continue;
    const bool firstOfRow = first != FALSE;
    rect.left = first ? rect.left : rect.right + 1;
    rect.right = rect.left + w - 1;
    first = FALSE;
    if (rect.right + 1 > m_nPageWidth && !firstOfRow) break;
    if (CGridCellBase* cell = GetCell(row, c)) cell->PrintCell(dc, row, c, rect);
    if (m_nLineStyle & GVL_HORZ) {
      dc->MoveTo(rect.left - 1, rect.bottom);
      dc->LineTo(rect.right, rect.bottom);
    }
    if (m_nLineStyle & GVL_VERT) {
      dc->MoveTo(rect.right, rect.top - 1);
      dc->LineTo(rect.right, rect.bottom);
    }
  }
}

void CGridCtrl::PrintColumnHeadings(CDC* dc, CPrintInfo*) {
  const int savedWidth = m_nPageWidth;
  m_nPageWidth += GetFixedColumnWidth();
  int top = 0;
  for (int r = 0; r < m_nFixedRowCount; ++r) {
    const int h = GetRowHeight(r);
    if (h <= 0) continue;
    CRect rect(0, top, 0, top + h - 1);
    BOOL first = TRUE;
    PrintFixedRowCells(0, m_nFixedColCount, r, rect, dc, first);
    PrintFixedRowCells(m_nCurrPrintCol, m_nColCount, r, rect, dc, first);
    top += h;
  }
  m_nPageWidth = savedWidth;
}

void CGridCtrl::PrintRowButtons(CDC* dc, CPrintInfo*) {
  const int fixedH = GetFixedRowHeight();
  int top = fixedH;
  for (int r = m_nCurrPrintRow; r < m_nRowCount; ++r) {
    const int h = GetRowHeight(r);
    if (h <= 0) continue;
    if (top - fixedH + h > m_nPageHeight && top > fixedH) break;
    CRect rect(0, top, 0, top + h - 1);
    BOOL first = TRUE;
    const int savedWidth = m_nPageWidth;
    m_nPageWidth += GetFixedColumnWidth();
    PrintFixedRowCells(0, m_nFixedColCount, r, rect, dc, first);
    m_nPageWidth = savedWidth;
    top += h;
  }
}

void CGridCtrl::PrintHeader(CDC* dc, CPrintInfo* info) {
  CString title;
  for (CWnd* w = GetParent(); w; w = w->GetParent()) {
    w->GetWindowText(title);
    if (!title.IsEmpty()) break;
  }
  const CString app = AfxLoadString(AFX_IDS_APP_TITLE);
  const CRect rect = info->m_rectDraw;
  CPen black(PS_SOLID, 1, RGB(0, 0, 0));
  CPen* oldPen = dc->SelectObject(&black);
  dc->MoveTo(rect.left, rect.bottom);
  dc->LineTo(rect.right, rect.bottom);
  dc->SelectObject(oldPen);
  PrintBoldLine(dc, rect, {{title, DT_CENTER}, {app, DT_RIGHT}});
}

CString CGridCtrl::PageFooterText(int page) const {
  CString text;
  text.Format("Page %d of %d", page, m_nNumPages);
  return text;
}

void CGridCtrl::PrintFooter(CDC* dc, CPrintInfo* info) {
  const CString page = PageFooterText(int(info->m_nCurPage));
  char when[128] = {};
  std::time_t now = std::time(nullptr);
  std::strftime(when, sizeof(when), "%c", std::localtime(&now));
  CRect rect = info->m_rectDraw;
  CPen black(PS_SOLID, 1, RGB(0, 0, 0));
  CPen* oldPen = dc->SelectObject(&black);
  dc->MoveTo(rect.left, rect.top);
  dc->LineTo(rect.right, rect.top);
  dc->SelectObject(oldPen);
  PrintBoldLine(dc, rect, {{page, DT_LEFT}, {CString(when), DT_RIGHT}});
}

void CGridCtrl::PrintBoldLine(CDC* dc, const CRect& rect, std::initializer_list<std::pair<CString, UINT>> texts) {
  // Under the page's scaled mapping a text is measured at its logical size but drawn at the font's device size, so
  // a right-aligned text ran past the edge and was cut. Set in device units, it is measured as it is drawn.
  POINT ecken[4] = {{rect.left, rect.top}, {rect.right, rect.bottom}, {0, 0}, {0, 0}};
  LOGFONT lf{};
  m_PrinterFont.GetLogFont(&lf);
  ecken[3].y = lf.lfHeight;
  dc->LPtoDP(ecken, 4);
  const int saved = dc->SaveDC();
  dc->SetMapMode(MM_TEXT);
  dc->SetWindowOrg(0, 0);
  dc->SetViewportOrg(0, 0);
  CRect device(ecken[0], ecken[1]);
  device.NormalizeRect();
  lf.lfHeight = -std::max(1, int(std::abs(ecken[3].y - ecken[2].y)));
  lf.lfWeight = FW_BOLD;
  CFont bold;
  bold.CreateFontIndirect(&lf);
  CFont* old = dc->SelectObject(&bold);
  dc->SetTextColor(RGB(0, 0, 0));
  dc->SetBkMode(TRANSPARENT);
  for (const auto& [text, align] : texts) dc->DrawText(text, &device, align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  dc->SelectObject(old);
  dc->RestoreDC(saved);
}

void CGridCtrl::OnEndPrinting(CDC*, CPrintInfo*) { m_PrinterFont.DeleteObject(); }
