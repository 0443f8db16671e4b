// The grid control: editing a cell in place and taking the edited text.
#include "controls/GridCtrl.h"

#include <algorithm>

#include "controls/GridInPlace.h"

void CGridCtrl::OnEndInPlaceEdit(NMHDR* hdr, LRESULT* result) {
  *result = 0;
  if (!GetSafeHwnd()) return;
  auto* info = reinterpret_cast<GridDisplayInfo*>(hdr);
  const int row = info->item.row, col = info->item.col;
  m_bEditRefused = FALSE;
  OnEndEditCell(row, col, info->item.strText);
  if (m_bEditRefused) {
    m_bEditRefused = FALSE;
    // Back into the cell with what was typed: neither the key that ended the edit nor the box's answer moves on, and
    // the text is corrected, not typed again.
    if (IsValid(row, col) && IsWindowVisible()) {
      SetFocusCell(row, col);
      OnEditCell(row, col, CPoint(-1, -1), VK_TAB);
      if (CGridCellBase* cell = GetCell(row, col); cell && cell->IsEditing())
        if (auto* edit = dynamic_cast<CGridInPlaceEdit*>(cell->GetEditWnd())) edit->ShowRefused(m_strRefusedText);
    }
    return;
  }
  UINT key = UINT(info->item.lParam);
  if (key == VK_RETURN) key = m_nEnterKey;
  switch (key) {
    case VK_TAB:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      OnKeyDown(key, 0, 0);
      if (IsValid(m_idCurrentCell)) OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, CPoint(-1, -1), key);
      break;
    default: break;
  }
}

// ---- editing hooks -------------------------------------------------------------------------------------------------

void CGridCtrl::OnEditCell(int row, int col, CPoint point, UINT nChar) {
  m_TitleTip.Hide();
  if (!IsValid(row, col) || !IsCellEditable(row, col)) return;
  EnsureVisible(row, col);
  if (!IsCellVisible(row, col)) return;
  CRect rect;
  if (!GetCellRect(row, col, &rect)) return;
  if (SendMessageToParent(row, col, GVN_BEGINLABELEDIT) < 0) return;
  CGridCellBase* cell = GetCell(row, col);
  if (cell) cell->Edit(row, col, rect, point, IDC_INPLACE_CONTROL, nChar);
}

void CGridCtrl::EndEditing() {
  if (!IsValid(m_idCurrentCell)) return;
  if (CGridCellBase* cell = GetCell(m_idCurrentCell.row, m_idCurrentCell.col)) cell->EndEdit();
}

void CGridCtrl::OnEndEditCell(int row, int col, CString text) {
  CString old = GetItemText(row, col);
  if (old != text) {
    SetItemText(row, col, text);
    if (ValidateEdit(row, col, text) && SendMessageToParent(row, col, GVN_ENDLABELEDIT) >= 0) {
      SetModified(TRUE, row, col);
      RedrawCell(row, col);
    } else {
      SetItemText(row, col, old);
    }
  }
  if (CGridCellBase* cell = GetCell(row, col)) cell->OnEndEdit();
}

BOOL CGridCtrl::ValidateEdit(int row, int col, LPCTSTR text) {
  CGridCellBase* cell = GetCell(row, col);
  return cell ? cell->ValidateEdit(text) : TRUE;
}

BOOL CGridCtrl::ReplaceCellText(int row, int col, LPCTSTR text) {
  if (!IsCellEditable(row, col) || SendMessageToParent(row, col, GVN_BEGINLABELEDIT) < 0) return FALSE;
  CString old = GetItemText(row, col);
  if (old == CString(text)) return TRUE;
  SetItemText(row, col, text);
  if (ValidateEdit(row, col, text) && SendMessageToParent(row, col, GVN_ENDLABELEDIT) >= 0) {
    SetModified(TRUE, row, col);
    RedrawCell(row, col);
    return TRUE;
  }
  SetItemText(row, col, old);
  return FALSE;
}
