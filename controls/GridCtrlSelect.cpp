// The grid control: the focus cell and the selected range, and moving and selecting with the keys.
#include "controls/GridCtrl.h"

#include <algorithm>
#include <vector>

#include "controls/GridCellTypes.h"

namespace {

bool KeyHeld(int vk) { return (::GetKeyState(vk) & 0x8000) != 0; }

}  // namespace

// ---- selection -----------------------------------------------------------------------------------------------------

void CGridCtrl::RedrawFixedOf(int row, int col, bool rowChanged, bool colChanged) {
  // Fixed cells that track the focus are drawn pressed in its row and column: they follow it whether marked or not.
  if (!m_bMarkFocusHeaders && !m_bTrackFocus) return;
  if (colChanged && col >= 0)
    for (int r = 0; r < m_nFixedRowCount; ++r) InvalidateCellRect(r, col);
  if (rowChanged && row >= 0)
    for (int c = 0; c < m_nFixedColCount; ++c) InvalidateCellRect(row, c);
}

CCellID CGridCtrl::SetFocusCell(int row, int col) {
  CCellID previous = m_idCurrentCell;
  if (previous == CCellID(row, col)) return previous;
  if (row >= 0 && row < m_nFixedRowCount) row = m_nFixedRowCount;
  if (col >= 0 && col < m_nFixedColCount) col = m_nFixedColCount;
  m_idCurrentCell = CCellID(row, col);
  if (IsValid(previous)) {
    if (!m_bVirtual)
      if (CGridCellBase* cell = GetCell(previous.row, previous.col))
        cell->SetState(cell->GetState() & ~DWORD(GVIS_FOCUSED));
    InvalidateCellRect(previous.row, previous.col);
    RedrawFixedOf(previous.row, previous.col, previous.row != row, previous.col != col);
  }
  if (IsValid(m_idCurrentCell)) {
    if (!m_bVirtual)
      if (CGridCellBase* cell = GetCell(row, col)) cell->SetState(cell->GetState() | GVIS_FOCUSED);
    InvalidateCellRect(row, col);
    RedrawFixedOf(row, col, previous.row != row, previous.col != col);
  }
  return previous;
}

void CGridCtrl::SetSelectedRange(int r0, int c0, int r1, int c1, BOOL forceRepaint, BOOL selectCells) {
  if (!m_bSelectionOn) return;
  if (r0 >= 0 && r0 < m_nFixedRowCount) r0 = m_nFixedRowCount;
  if (r1 >= 0 && r1 < m_nFixedRowCount) r1 = m_nFixedRowCount;
  if (c0 >= 0 && c0 < m_nFixedColCount) c0 = m_nFixedColCount;
  if (c1 >= 0 && c1 < m_nFixedColCount) c1 = m_nFixedColCount;
  std::unique_ptr<CClientDC> dc;
  if (forceRepaint && GetSafeHwnd()) dc = std::make_unique<CClientDC>(this);
  auto repaint = [&](int r, int c) {
    if (dc)
      RedrawCell(r, c, dc.get());
    else
      InvalidateCellRect(r, c);
  };
  auto setSelected = [&](int r, int c, bool on) {
    if (on) {
      CCellID id(r, c);
      m_Selection.SetAt(SelKey(r, c), id);
    } else {
      m_Selection.RemoveKey(SelKey(r, c));
    }
    if (!m_bVirtual)
      if (CGridCellBase* cell = GetCell(r, c))
        cell->SetState(on ? cell->GetState() | GVIS_SELECTED : cell->GetState() & ~DWORD(GVIS_SELECTED));
  };
  CCellBlock range(r0, c0, r1, c1);
  if (selectCells) {
    std::vector<CCellID> old;
    for (POSITION pos = m_Selection.GetStartPosition(); pos;) {
      SelectionKey key;
      CCellID id;
      m_Selection.GetNextAssoc(pos, key, id);
      old.push_back(id);
    }
    for (const CCellID& id : old) {
      if (!IsValid(id)) {
        m_Selection.RemoveKey(SelKey(id.row, id.col));
        continue;
      }
      setSelected(id.row, id.col, false);
      if (!range.Contains(id.row, id.col)) repaint(id.row, id.col);
    }
    if (r0 >= 0 && c0 >= 0 && r1 >= 0 && c1 >= 0 && !(m_bRowSelectMode && m_bOneRowOnly)) {
      for (POSITION pos = m_KeptSelection.GetStartPosition(); pos;) {
        SelectionKey key;
        CCellID id;
        m_KeptSelection.GetNextAssoc(pos, key, id);
        if (!IsValid(id)) continue;
        setSelected(id.row, id.col, true);
        repaint(id.row, id.col);
      }
    }
  }
  if (r0 < 0) return;
  if (!IsValid(range)) return;
  for (int r = r0; r <= r1; ++r)
    for (int c = c0; c <= c1; ++c) {
      if (bool(IsCellSelected(r, c)) == bool(selectCells)) {
        // The cell still shows the state it had before the deselection above.
        if (selectCells) repaint(r, c);
        continue;
      }
      setSelected(r, c, selectCells != FALSE);
      repaint(r, c);
    }
}

CCellBlock CGridCtrl::GetSelectedRange() const {
  CCellBlock b(m_nRowCount, m_nColCount, -1, -1);
  for (POSITION pos = m_Selection.GetStartPosition(); pos;) {
    SelectionKey key;
    CCellID id;
    m_Selection.GetNextAssoc(pos, key, id);
    b.minRow = std::min(b.minRow, id.row);
    b.minCol = std::min(b.minCol, id.col);
    b.maxRow = std::max(b.maxRow, id.row);
    b.maxCol = std::max(b.maxCol, id.col);
  }
  return b;
}

void CGridCtrl::SelectAllCells() {
  SetSelectedRange(m_nFixedRowCount, m_nFixedColCount, m_nRowCount - 1, m_nColCount - 1);
}

void CGridCtrl::ResetSelectedRange() {
  m_KeptSelection.RemoveAll();
  SetSelectedRange(-1, -1, -1, -1);
  SetFocusCell(-1, -1);
}

void CGridCtrl::SelectColumns(CCellID cell, BOOL forceRedraw, BOOL selectCells) {
  if (!m_bSelectionOn || cell.col < m_nFixedColCount || !IsValid(cell)) return;
  if (m_bOneColOnly)
    SetSelectedRange(m_nFixedRowCount, cell.col, m_nRowCount - 1, cell.col, forceRedraw, selectCells);
  else
    SetSelectedRange(m_nFixedRowCount, std::min(m_SelectionStartCell.col, cell.col), m_nRowCount - 1,
                     std::max(m_SelectionStartCell.col, cell.col), forceRedraw, selectCells);
}

void CGridCtrl::SelectRows(CCellID cell, BOOL forceRedraw, BOOL selectCells) {
  if (!m_bSelectionOn || cell.row < m_nFixedRowCount || !IsValid(cell)) return;
  if (m_bRowSelectMode && m_bOneRowOnly)
    SetSelectedRange(cell.row, m_nFixedColCount, cell.row, m_nColCount - 1, forceRedraw, selectCells);
  else
    SetSelectedRange(std::min(m_SelectionStartCell.row, cell.row), m_nFixedColCount,
                     std::max(m_SelectionStartCell.row, cell.row), m_nColCount - 1, forceRedraw, selectCells);
}

void CGridCtrl::SelectCells(CCellID cell, BOOL forceRedraw, BOOL selectCells) {
  if (!m_bSelectionOn || !IsValid(cell)) return;
  SetSelectedRange(std::min(m_SelectionStartCell.row, cell.row), std::min(m_SelectionStartCell.col, cell.col),
                   std::max(m_SelectionStartCell.row, cell.row), std::max(m_SelectionStartCell.col, cell.col),
                   forceRedraw, selectCells);
}

void CGridCtrl::OnSelecting(const CCellID& cell) {
  OnFocusCellChanged(cell.row, cell.col);
  if (!m_bSelectionOn) return;
  switch (m_MouseMode) {
    case MOUSE_SELECT_ALL: SelectAllCells(); break;
    case MOUSE_SELECT_COL: SelectColumns(cell); break;
    case MOUSE_SELECT_ROW: SelectRows(cell); break;
    case MOUSE_SELECT_CELLS: SelectCells(cell); break;
    default: break;
  }
}

BOOL CGridCtrl::StepCell(const CCellID& from, int dRow, int dCol, CCellID& next, BOOL editableOnly) const {
  if (!IsValid(from) || (dRow == 0 && dCol == 0) || m_nRowCount <= m_nFixedRowCount || m_nColCount <= m_nFixedColCount)
    return FALSE;
  CCellID at = from;
  const long limit = long(m_nRowCount) * long(m_nColCount) + 1;
  for (long step = 0; step < limit; ++step) {
    at.row += dRow;
    at.col += dCol;
    if (at.col >= m_nColCount) {
      at.col = m_nFixedColCount;
      at.row++;
    } else if (at.col < m_nFixedColCount) {
      at.col = m_nColCount - 1;
      at.row--;
    }
    if (at.row >= m_nRowCount)
      at.row = m_nFixedRowCount;
    else if (at.row < m_nFixedRowCount)
      at.row = m_nRowCount - 1;
    if (at == from) return FALSE;
    if (GetRowHeight(at.row) <= 0 || GetColumnWidth(at.col) <= 0) continue;
    if (editableOnly) {
      CGridCellBase* cell = GetCell(at.row, at.col);
      if (!cell || cell->IsReadOnly()) continue;
    }
    next = at;
    return TRUE;
  }
  return FALSE;
}

// ---- keyboard ------------------------------------------------------------------------------------------------------

void CGridCtrl::OnKeyDown(UINT ch, UINT repeat, UINT flags) {
  if (!IsValid(m_idCurrentCell)) {
    Default();
    return;
  }
  const bool ctrl = KeyHeld(VK_CONTROL), shift = KeyHeld(VK_SHIFT);
  const CCellID cur = m_idCurrentCell;
  CCellID next = cur;
  if (ctrl) {
    switch (ch) {
      case 'A': OnEditSelectAll(); break;
      case 'X': OnEditCut(); break;
      case VK_INSERT:
      case 'C': OnEditCopy(); break;
      case 'V': OnEditPaste(); break;
      default: break;
    }
  }
  if (shift && ch == VK_INSERT) {
    OnEditPaste();
    return;
  }
  bool scrolledDirection = false;
  switch (ch) {
    case VK_SPACE:
      if (CGridCellBase* cell = GetCell(cur.row, cur.col)) cell->OnSpaceKey();
      return;
    case VK_DELETE: CutSelectedText(); break;
    case VK_DOWN:
    case VK_UP: {
      const int d = ch == VK_DOWN ? 1 : -1;
      if (!StepCell(cur, d, 0, next, TRUE)) StepCell(cur, d, 0, next, FALSE);
      next.col = cur.col;
      scrolledDirection = true;
      break;
    }
    case VK_RIGHT:
    case VK_LEFT: {
      const int d = ch == VK_RIGHT ? 1 : -1;
      if (!StepCell(cur, 0, d, next, TRUE)) StepCell(cur, 0, d, next, FALSE);
      next.row = cur.row;
      scrolledDirection = true;
      break;
    }
    case VK_TAB: {
      if (m_bTabHook && (TabToNextControl(cur.row, cur.col, shift ? 1 : 0) & 0xFF)) return;
      const int d = shift ? -1 : 1;
      if (!StepCell(cur, 0, d, next, TRUE)) StepCell(cur, 0, d, next, FALSE);
      scrolledDirection = true;
      break;
    }
    case VK_NEXT:
    case VK_PRIOR: {
      CCellID before = GetTopleftNonFixedCell();
      SendMessage(WM_VSCROLL, ch == VK_NEXT ? SB_PAGEDOWN : SB_PAGEUP);
      CCellID after = GetTopleftNonFixedCell();
      const int change = after.row - before.row;
      if (change == 0)
        next.row = ch == VK_NEXT ? m_nRowCount - 1 : m_nFixedRowCount;
      else
        next.row = std::clamp(cur.row + change, m_nFixedRowCount, m_nRowCount - 1);
      break;
    }
    case VK_HOME: {
      if (ctrl) {
        SendMessage(WM_VSCROLL, SB_TOP);
        next.row = m_nFixedRowCount;
      }
      SendMessage(WM_HSCROLL, SB_LEFT);
      next.col = m_nFixedColCount;
      while (next.col < m_nColCount - 1 && GetColumnWidth(next.col) <= 0) next.col++;
      while (next.row < m_nRowCount - 1 && GetRowHeight(next.row) <= 0) next.row++;
      break;
    }
    case VK_END: {
      if (ctrl) {
        SendMessage(WM_VSCROLL, SB_BOTTOM);
        next.row = m_nRowCount - 1;
      }
      SendMessage(WM_HSCROLL, SB_RIGHT);
      next.col = m_nColCount - 1;
      while (next.col > m_nFixedColCount && GetColumnWidth(next.col) <= 0) next.col--;
      while (next.row > m_nFixedRowCount && GetRowHeight(next.row) <= 0) next.row--;
      break;
    }
    case VK_F2: OnEditCell(cur.row, cur.col, CPoint(-1, -1), VK_LBUTTON); break;
    case VK_F4:
      if (!DropListOf(cur)) Default();
      break;
    default: Default(); break;
  }
  if (next == cur || !IsValid(next)) {
    OnKeyHandled(cur.row, cur.col, ch);
    return;
  }
  if (m_MouseMode == MOUSE_NOTHING) {
    m_KeptSelection.RemoveAll();
    m_MouseMode = m_bRowSelectMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
    if (!shift || ch == VK_TAB) m_SelectionStartCell = next;
    SendMessageToParent(next.row, next.col, GVN_SELCHANGING);
    OnSelecting(next);
    SendMessageToParent(next.row, next.col, GVN_SELCHANGED);
    m_MouseMode = MOUSE_NOTHING;
  }
  SetFocusCell(next);
  if (!IsCellVisible(next.row, next.col)) {
    if (scrolledDirection) {
      switch (ch) {
        case VK_DOWN: SendMessage(WM_VSCROLL, SB_LINEDOWN); break;
        case VK_UP: SendMessage(WM_VSCROLL, SB_LINEUP); break;
        case VK_RIGHT: SendMessage(WM_HSCROLL, SB_LINERIGHT); break;
        case VK_LEFT: SendMessage(WM_HSCROLL, SB_LINELEFT); break;
        case VK_TAB: SendMessage(WM_HSCROLL, shift ? SB_LINELEFT : SB_LINERIGHT); break;
        default: break;
      }
    }
    Invalidate();
  }
  EnsureVisible(next.row, next.col);
  OnKeyHandled(next.row, next.col, ch);
}

void CGridCtrl::OnSysKeyDown(UINT ch, UINT repeat, UINT flags) {
  if (ch == VK_DOWN && DropListOf(m_idCurrentCell)) return;
  Default();
}

BOOL CGridCtrl::DropListOf(const CCellID& cell) {
  if (!IsValid(cell) || !IsCellEditable(cell)) return FALSE;
  CGridCellBase* gridCell = GetCell(cell.row, cell.col);
  if (!gridCell || !gridCell->IsKindOf(RUNTIME_CLASS(CGridCellCombo)) || gridCell->IsEditing()) return FALSE;
  OnEditCell(cell.row, cell.col, CPoint(-1, -1), VK_LBUTTON);
  return TRUE;
}

void CGridCtrl::OnChar(UINT ch, UINT repeat, UINT flags) {
  if (!KeyHeld(VK_CONTROL) && m_MouseMode == MOUSE_NOTHING && ch != VK_ESCAPE) {
    if (ch == VK_TAB && m_bWantTab) {
      Default();
      return;
    }
    if (IsValid(m_idCurrentCell)) OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, CPoint(-1, -1), ch);
    return;
  }
  Default();
}

LRESULT CGridCtrl::OnImeChar(WPARAM w, LPARAM) {
  if (!KeyHeld(VK_CONTROL) && m_MouseMode == MOUSE_NOTHING && w != VK_ESCAPE && IsValid(m_idCurrentCell))
    OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, CPoint(-1, -1), UINT(w));
  return 0;
}

UINT CGridCtrl::OnGetDlgCode() {
  UINT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
  if (m_bWantTab && !KeyHeld(VK_CONTROL)) code |= DLGC_WANTTAB;
  return code;
}
