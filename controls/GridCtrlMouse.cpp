// The grid control: the mouse selects cells, rows and columns, drags column and row dividers, and scrolls
// while a selection is dragged past the edge.
#include "controls/GridCtrl.h"

#include <algorithm>
#include <cstdlib>

#include "controls/GridCellTypes.h"

namespace {

constexpr UINT_PTR kScrollTimerId = 513;

}  // namespace

// ---- mouse ---------------------------------------------------------------------------------------------------------

BOOL CGridCtrl::IsOnRowDivider(CPoint p) {
  if (p.x >= GetFixedColumnWidth()) return FALSE;
  CCellID cell = GetCellFromPt(p);
  CPoint origin;
  if (!IsValid(cell) || !GetCellOrigin(cell.row, cell.col, &origin)) return FALSE;
  return (p.y - origin.y < m_nResizeCaptureRange && cell.row != 0) ||
         origin.y + GetRowHeight(cell.row) - p.y < m_nResizeCaptureRange;
}

BOOL CGridCtrl::IsOnColDivider(CPoint p) {
  if (p.y >= GetFixedRowHeight()) return FALSE;
  CCellID cell = GetCellFromPt(p);
  CPoint origin;
  if (!IsValid(cell) || !GetCellOrigin(cell.row, cell.col, &origin)) return FALSE;
  return (p.x - origin.x < m_nResizeCaptureRange && cell.col != 0) ||
         origin.x + GetColumnWidth(cell.col) - p.x < m_nResizeCaptureRange;
}

void CGridCtrl::DrawDividerLine(bool vertical, int at) {
  CRect client;
  GetClientRect(&client);
  CClientDC dc(this);
  CRect line = vertical ? CRect(at, client.top, at + 2, client.bottom) : CRect(client.left, at, client.right, at + 2);
  dc.InvertRect(&line);
}

void CGridCtrl::OnLButtonDown(UINT flags, CPoint point) {
  // Taking the focus ends an edit, and a refused one shows a box: a box that took the mouse ended this click.
  m_bLMouseButtonDown = TRUE;
  SetFocus();
  if (!m_bLMouseButtonDown) return;
  m_LeftClickDownPoint = point;
  m_LeftClickDownCell = GetCellFromPt(point);
  if (!IsValid(m_LeftClickDownCell)) return;
  const bool ctrl = (flags & MK_CONTROL) != 0;
  if (flags & MK_SHIFT) {
    if (!IsValid(m_SelectionStartCell)) m_SelectionStartCell = m_idCurrentCell;
  } else {
    m_SelectionStartCell = m_LeftClickDownCell;
  }
  EndEditing();
  if (!m_bLMouseButtonDown) return;
  CGridCellBase* cell = GetCell(m_LeftClickDownCell.row, m_LeftClickDownCell.col);
  bool inText = false;
  if (cell) {
    cell->OnPointHookB(CellRelativePoint(m_LeftClickDownCell.row, m_LeftClickDownCell.col, point));
    CRect text;
    if (GetCellRect(m_LeftClickDownCell, &text) && cell->GetTextRect(&text)) inText = text.PtInRect(point) != 0;
  }
  if (m_LeftClickDownCell == m_idCurrentCell && !ctrl && inText && IsCellEditable(m_LeftClickDownCell)) {
    m_MouseMode = MOUSE_PREPARE_EDIT;
    return;
  }
  // A combo cell's arrow opens its list with the one click, as a combo box's arrow does.
  CRect cellRect;
  if (dynamic_cast<CGridCellCombo*>(cell) && !ctrl && !(flags & MK_SHIFT) && IsCellEditable(m_LeftClickDownCell) &&
      !IsCellFixed(m_LeftClickDownCell.row, m_LeftClickDownCell.col) && GetCellRect(m_LeftClickDownCell, &cellRect) &&
      CGridCellCombo::ArrowRect(cellRect).PtInRect(point)) {
    if (m_LeftClickDownCell != m_idCurrentCell) SetFocusCell(m_LeftClickDownCell);
    m_MouseMode = MOUSE_PREPARE_EDIT;
    return;
  }
  if (!IsCellSelected(m_LeftClickDownCell.row, m_LeftClickDownCell.col)) {
    if (m_MouseMode != MOUSE_OVER_COL_DIVIDE && m_MouseMode != MOUSE_OVER_ROW_DIVIDE) {
      if (IsCellFixed(m_LeftClickDownCell.row, m_LeftClickDownCell.col))
        SetFocusCell(-1, -1);
      else
        SetFocusCell(m_LeftClickDownCell);
    }
  } else if (ctrl) {
    SetFocusCell(m_LeftClickDownCell);
    if (m_bRowSelectMode)
      SetSelectedRange(std::min(m_SelectionStartCell.row, m_LeftClickDownCell.row), m_nFixedColCount,
                       std::max(m_SelectionStartCell.row, m_LeftClickDownCell.row), m_nColCount - 1, TRUE, FALSE);
    else
      SelectCells(m_LeftClickDownCell, TRUE, FALSE);
    return;
  } else if (m_bAllowDragAndDrop) {
    m_MouseMode = MOUSE_PREPARE_DRAG;
  }
  SetCapture();
  if (m_MouseMode == MOUSE_NOTHING) {
    if (m_bAllowColumnResize && IsOnColDivider(point)) {
      ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
      m_MouseMode = MOUSE_OVER_COL_DIVIDE;
    } else if (m_bAllowRowResize && IsOnRowDivider(point)) {
      ::SetCursor(::LoadCursor(nullptr, IDC_SIZENS));
      m_MouseMode = MOUSE_OVER_ROW_DIVIDE;
    }
  }
  if (m_MouseMode == MOUSE_OVER_COL_DIVIDE) {
    m_MouseMode = MOUSE_SIZING_COL;
    int col = m_LeftClickDownCell.col;
    CRect visible;
    GetVisibleNonFixedCellRange(&visible);
    if (GetColumnWidth(m_nColCount - 1) < m_nResizeCaptureRange &&
        std::abs(point.x - visible.right) < m_nResizeCaptureRange)
      col = m_nColCount - 1;
    CPoint origin;
    if (!GetCellOrigin(0, col, &origin)) return;
    const bool nearLeft = point.x - origin.x < m_nResizeCaptureRange;
    if (!m_bReopenHiddenCols) {
      if (nearLeft) {
        while (col > 0 && GetColumnWidth(col - 1) <= 0) --col;
        if (col <= 0) return;
      } else if (col < m_nColCount - 1) {
        while (col >= 0 && GetColumnWidth(col) <= 0) --col;
        if (col < 0) return;
      }
      GetCellOrigin(0, col, &origin);
    }
    if (nearLeft && col > 0 && (col != m_nColCount - 1 || GetColumnWidth(col) >= m_nResizeCaptureRange)) {
      --col;
      GetCellOrigin(0, col, &origin);
    }
    m_nSizingIndex = col;
    DrawDividerLine(true, point.x);
    CRect client;
    GetClientRect(&client);
    // From the column's left edge itself, so that a column can be dragged down to nothing.
    CRect confine(origin.x, client.top, origin.x + 1 + client.Width() - GetFixedColumnWidth(), client.bottom);
    ClientToScreen(&confine);
    ::ClipCursor(&confine);
  } else if (m_MouseMode == MOUSE_OVER_ROW_DIVIDE) {
    m_MouseMode = MOUSE_SIZING_ROW;
    int row = m_LeftClickDownCell.row;
    CPoint origin;
    if (!GetCellOrigin(row, 0, &origin)) return;
    const bool nearTop = point.y - origin.y < m_nResizeCaptureRange;
    if (nearTop && row > 0) {
      --row;
      GetCellOrigin(row, 0, &origin);
    }
    m_nSizingIndex = row;
    DrawDividerLine(false, point.y);
    CRect client;
    GetClientRect(&client);
    CRect confine(client.left, origin.y, client.right, origin.y + 1 + client.Height() - GetFixedRowHeight());
    ClientToScreen(&confine);
    ::ClipCursor(&confine);
  } else if (m_MouseMode != MOUSE_PREPARE_DRAG) {
    SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, GVN_SELCHANGING);
    if (ctrl) {
      m_KeptSelection.RemoveAll();
      for (POSITION pos = m_Selection.GetStartPosition(); pos;) {
        SelectionKey key;
        CCellID id;
        m_Selection.GetNextAssoc(pos, key, id);
        m_KeptSelection.SetAt(key, id);
      }
    } else {
      m_KeptSelection.RemoveAll();
    }
    if (m_LeftClickDownCell.row < m_nFixedRowCount) {
      OnFixedRowClick(m_LeftClickDownCell);
    } else if (m_LeftClickDownCell.col < m_nFixedColCount) {
      OnFixedColumnClick(m_LeftClickDownCell);
    } else {
      m_MouseMode = m_bRowSelectMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
      OnSelecting(m_LeftClickDownCell);
      m_nTimerID = SetTimer(kScrollTimerId, m_nTimerInterval);
    }
  }
  m_LastMousePoint = point;
}

void CGridCtrl::OnMouseMove(UINT flags, CPoint point) {
  CRect client;
  GetClientRect(&client);
  if (!client.PtInRect(point) && m_MouseMode != MOUSE_DRAGGING) return;
  if (m_bLMouseButtonDown && m_MouseMode != MOUSE_NOTHING) {
    switch (m_MouseMode) {
      case MOUSE_SELECT_COL:
      case MOUSE_SELECT_ROW:
      case MOUSE_SELECT_CELLS: {
        CCellID cell = GetCellFromPt(point);
        if (IsValid(cell) && cell != m_idCurrentCell) {
          OnSelecting(cell);
          if (!IsCellFixed(cell.row, cell.col) || m_MouseMode != MOUSE_SELECT_CELLS) SetFocusCell(cell);
        }
        break;
      }
      case MOUSE_SIZING_ROW:
        DrawDividerLine(false, m_LastMousePoint.y);
        DrawDividerLine(false, point.y);
        break;
      case MOUSE_SIZING_COL:
        DrawDividerLine(true, m_LastMousePoint.x);
        DrawDividerLine(true, point.x);
        break;
      case MOUSE_PREPARE_EDIT:
      case MOUSE_PREPARE_DRAG:
        // A hand that trembles while clicking does not drag: the pointer must leave the drag rectangle first.
        if (std::abs(point.x - m_LeftClickDownPoint.x) <= GetSystemMetrics(SM_CXDRAG) / 2 &&
            std::abs(point.y - m_LeftClickDownPoint.y) <= GetSystemMetrics(SM_CYDRAG) / 2)
          return;
        m_MouseMode = MOUSE_PREPARE_DRAG;
        OnBeginDrag();
        break;
      default: break;
    }
    m_LastMousePoint = point;
    return;
  }
  if (m_bAllowColumnResize && IsOnColDivider(point)) {
    ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
    m_MouseMode = MOUSE_OVER_COL_DIVIDE;
  } else if (m_bAllowRowResize && IsOnRowDivider(point)) {
    ::SetCursor(::LoadCursor(nullptr, IDC_SIZENS));
    m_MouseMode = MOUSE_OVER_ROW_DIVIDE;
  } else if (m_MouseMode != MOUSE_NOTHING) {
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    m_MouseMode = MOUSE_NOTHING;
  }
  if (m_MouseMode == MOUSE_NOTHING && (!m_bVirtual || m_bTips)) {
    CCellID id = GetCellFromPt(point);
    if (CGridCellBase* cell = IsValid(id) ? GetCell(id.row, id.col) : nullptr) {
      cell->OnHookB();
      if (m_bTips && !m_bRMouseButtonDown) {
        CString tip = GetTitleTipText(id.row, id.col);
        if (tip.IsEmpty()) tip = cell->GetTipText();
        CRect cellRect, tipRect;
        if (!tip.IsEmpty() && !cell->IsEditing() && GetCellRect(id, &cellRect)) {
          tipRect = cellRect;
          if (cell->GetTipTextRect(&tipRect)) {
            CRect hover = cellRect;
            m_TitleTip.Show(tipRect, tip, 0, &hover, cell->GetFont(), m_crTTipTextClr, m_crTTipBackClr);
          }
        }
      }
    }
  }
  m_LastMousePoint = point;
}

void CGridCtrl::OnLButtonUp(UINT flags, CPoint point) {
  Default();
  m_bLMouseButtonDown = FALSE;
  ::ClipCursor(nullptr);
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  KillTimer(kScrollTimerId);
  m_nTimerID = 0;
  bool replay = true;
  switch (m_MouseMode) {
    case MOUSE_PREPARE_EDIT:
      OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, point, VK_LBUTTON);
      replay = false;
      break;
    case MOUSE_PREPARE_DRAG: {
      if (CGridCellBase* cell = GetCell(m_idCurrentCell.row, m_idCurrentCell.col))
        cell->OnClick(CellRelativePoint(m_idCurrentCell.row, m_idCurrentCell.col, point));
      SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, GVN_CLICK);
      SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, GVN_SELCHANGING);
      ResetSelectedRange();
      SendMessageToParent(m_idCurrentCell.row, m_idCurrentCell.col, GVN_SELCHANGED);
      break;
    }
    case MOUSE_SIZING_COL: {
      DrawDividerLine(true, m_LastMousePoint.x);
      CPoint origin;
      if (!GetCellOrigin(0, m_nSizingIndex, &origin)) {
        replay = false;
        break;
      }
      if (m_LeftClickDownPoint != point && (point.x != 0 || point.y != 0)) {
        int width = point.x - origin.x;
        SetColumnWidth(m_nSizingIndex, std::max(width, m_bColCollapse ? 0 : 1));
        ResetScrollBars();
        Invalidate();
      }
      break;
    }
    case MOUSE_SIZING_ROW: {
      DrawDividerLine(false, m_LastMousePoint.y);
      CPoint origin;
      if (!GetCellOrigin(m_nSizingIndex, 0, &origin)) {
        replay = false;
        break;
      }
      if (m_LeftClickDownPoint != point && (point.x != 0 || point.y != 0)) {
        int height = point.y - origin.y;
        SetRowHeight(m_nSizingIndex, std::max(height, m_bRowCollapse ? 0 : 1));
        ResetScrollBars();
        Invalidate();
      }
      break;
    }
    default: {
      SendMessageToParent(m_idCurrentCell.row, m_idCurrentCell.col, GVN_SELCHANGED);
      if (CGridCellBase* cell = GetCell(m_idCurrentCell.row, m_idCurrentCell.col))
        cell->OnClick(CellRelativePoint(m_idCurrentCell.row, m_idCurrentCell.col, point));
      SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, GVN_CLICK);
      break;
    }
  }
  if (replay && m_bEditOnClick && IsValid(m_LeftClickDownCell) && IsCellEditable(m_LeftClickDownCell) &&
      !IsCellFixed(m_LeftClickDownCell.row, m_LeftClickDownCell.col)) {
    m_bEditOnClick = FALSE;
    m_MouseMode = MOUSE_NOTHING;
    SendMessage(WM_LBUTTONDOWN, flags, MAKELPARAM(point.x, point.y));
    SendMessage(WM_LBUTTONUP, flags, MAKELPARAM(point.x, point.y));
    m_bEditOnClick = TRUE;
  }
  m_MouseMode = MOUSE_NOTHING;
  ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
  if (IsValid(m_LeftClickDownCell)) {
    if (CWnd* owner = GetOwner()) owner->SendMessage(WM_COMMAND, WPARAM(GetDlgCtrlID()), LPARAM(m_hWnd));
  }
}

void CGridCtrl::OnLButtonDblClk(UINT flags, CPoint point) {
  CCellID cell = GetCellFromPt(point);
  if (!IsValid(cell)) return;
  // Releasing the capture after the first click moves no mouse here: look at the divider as hovering would.
  if (m_MouseMode == MOUSE_NOTHING) {
    if (m_bAllowColumnResize && IsOnColDivider(point))
      m_MouseMode = MOUSE_OVER_COL_DIVIDE;
    else if (m_bAllowRowResize && IsOnRowDivider(point))
      m_MouseMode = MOUSE_OVER_ROW_DIVIDE;
  }
  if (m_MouseMode == MOUSE_OVER_COL_DIVIDE) {
    CPoint origin;
    GetCellOrigin(0, cell.col, &origin);
    int col = cell.col;
    if (point.x - origin.x < m_nResizeCaptureRange && col > 0) --col;
    while (col > 0 && GetColumnWidth(col) <= 0) --col;
    AutoSizeColumn(col, UINT(m_nFitStyle), TRUE);
    Invalidate();
  } else if (m_MouseMode == MOUSE_OVER_ROW_DIVIDE) {
    CPoint origin;
    GetCellOrigin(cell.row, 0, &origin);
    int row = cell.row;
    if (point.y - origin.y < m_nResizeCaptureRange && row > 0) --row;
    while (row > 0 && GetRowHeight(row) <= 0) --row;
    AutoSizeRow(row, TRUE);
    Invalidate();
  } else if (m_MouseMode == MOUSE_NOTHING) {
    CGridCellBase* c = GetCell(cell.row, cell.col);
    bool inText = false;
    CRect text;
    if (c && GetCellRect(cell, &text) && c->GetTextRect(&text)) inText = text.PtInRect(point) != 0;
    if (cell.row >= m_nFixedRowCount && IsValid(m_LeftClickDownCell) && IsCellEditable(m_LeftClickDownCell) &&
        cell.col >= m_nFixedColCount && inText) {
      OnEditCell(cell.row, cell.col, point, VK_LBUTTON);
    } else if (m_bRowSelectMode && !IsCellFixed(cell.row, cell.col) && inText) {
      OnEditCell(cell.row, cell.col, point, VK_LBUTTON);
    }
    if (c) c->OnPointHookD(CellRelativePoint(cell.row, cell.col, point));
    SendMessageToParent(cell.row, cell.col, GVN_DBLCLK);
  }
  Default();
}

void CGridCtrl::OnTimer(UINT_PTR id) {
  if (id != kScrollTimerId) return;
  CPoint p;
  ::GetCursorPos(&p);
  ScreenToClient(&p);
  CRect client;
  GetClientRect(&client);
  const int fixedH = GetFixedRowHeight(), fixedW = GetFixedColumnWidth();
  const int x = std::clamp(int(p.x), int(client.left), int(client.right) - 1);
  const int y = std::clamp(int(p.y), int(client.top), int(client.bottom) - 1);
  if (p.y > client.bottom) {
    SendMessage(WM_KEYDOWN, VK_DOWN);
    OnSelecting(GetCellFromPt(CPoint(x, client.bottom - 1)));
  } else if (p.y < fixedH) {
    SendMessage(WM_KEYDOWN, VK_UP);
    OnSelecting(GetCellFromPt(CPoint(x, fixedH + 1)));
  } else if (p.x > client.right) {
    SendMessage(WM_KEYDOWN, VK_RIGHT);
    OnSelecting(GetCellFromPt(CPoint(client.right - 1, y)));
  } else if (p.x < fixedW) {
    SendMessage(WM_KEYDOWN, VK_LEFT);
    OnSelecting(GetCellFromPt(CPoint(fixedW + 1, y)));
  }
}

BOOL CGridCtrl::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  if (hitTest != HTCLIENT) return BOOL(Default());
  switch (m_MouseMode) {
    case MOUSE_OVER_ROW_DIVIDE: ::SetCursor(::LoadCursor(nullptr, IDC_SIZENS)); break;
    case MOUSE_OVER_COL_DIVIDE: ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE)); break;
    case MOUSE_DRAGGING: break;
    default: {
      CGridCellBase* cell = nullptr;
      if (!m_bVirtual) {
        DWORD pos = ::GetMessagePos();
        CPoint p(GET_X_LPARAM(pos), GET_Y_LPARAM(pos));
        ScreenToClient(&p);
        CCellID id = GetCellFromPt(p);
        if (IsValid(id)) cell = GetCell(id.row, id.col);
      }
      if (!cell || !cell->OnSetCursor()) ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    }
  }
  return TRUE;
}

void CGridCtrl::OnCaptureChanged(CWnd* wnd) {
  if (wnd && wnd->GetSafeHwnd() == m_hWnd) return;
  KillTimer(kScrollTimerId);
  m_nTimerID = 0;
  if (m_MouseMode == MOUSE_DRAGGING) m_MouseMode = MOUSE_NOTHING;
}

// A modal window took the mouse: the press is over without its release, and whatever it started ends here.
void CGridCtrl::OnCancelMode() {
  Default();
  if (m_MouseMode == MOUSE_DRAGGING) return;  // the drag loop ends the drag itself
  if (m_MouseMode == MOUSE_SIZING_COL) DrawDividerLine(true, m_LastMousePoint.x);
  if (m_MouseMode == MOUSE_SIZING_ROW) DrawDividerLine(false, m_LastMousePoint.y);
  if (m_MouseMode == MOUSE_SIZING_COL || m_MouseMode == MOUSE_SIZING_ROW) ::ClipCursor(nullptr);
  m_bLMouseButtonDown = FALSE;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  KillTimer(kScrollTimerId);
  m_nTimerID = 0;
  m_MouseMode = MOUSE_NOTHING;
}

void CGridCtrl::OnRButtonDown(UINT flags, CPoint point) {
  Default();
  m_bRMouseButtonDown = TRUE;
}

void CGridCtrl::OnRButtonUpHook(UINT flags, CPoint point) {
  m_bRMouseButtonDown = FALSE;
  CCellID cell = GetCellFromPt(point);
  EndEditing();
  if (IsValid(cell)) {
    SetFocusCell(std::max(cell.row, m_nFixedRowCount), std::max(cell.col, m_nFixedColCount));
    SendMessageToParent(cell.row, cell.col, GVN_RCLICK);
  } else {
    SendMessageToParent(-1, -1, GVN_RCLICK);
  }
}

void CGridCtrl::OnFixedRowClick(CCellID& cell) {
  if (!IsValid(cell)) return;
  if (m_bHeaderSorts) {
    CWaitCursor wait;
    const BOOL ascending = cell.col == m_nSortColumn ? !m_bAscending : TRUE;
    SortItems(cell.col, ascending);
    Invalidate();
  }
  if (m_bFixedRowSelection) {
    if (cell.col < m_nFixedColCount) {
      m_MouseMode = MOUSE_SELECT_ALL;
      OnSelecting(cell);
    } else {
      m_MouseMode = MOUSE_SELECT_COL;
      OnSelecting(cell);
    }
  }
}

void CGridCtrl::OnFixedColumnClick(CCellID& cell) {
  if (!IsValid(cell) || !m_bFixedColumnSelection) return;
  m_MouseMode = cell.row < m_nFixedRowCount ? MOUSE_SELECT_ALL : MOUSE_SELECT_ROW;
  OnSelecting(cell);
}
