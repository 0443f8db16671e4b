#include "controls/GridCellTypes.h"

#include "controls/GridCtrl.h"
#include "controls/GridInPlace.h"

IMPLEMENT_DYNCREATE(CGridCellButton, CGridCell)
IMPLEMENT_DYNCREATE(CGridCellCombo, CGridCell)
IMPLEMENT_DYNCREATE(CGridCellCheck, CGridCell)

// ---- button -------------------------------------------------------------------------------------------------------

BOOL CGridCellButton::OnSpaceKey() {
  if (GetGrid()) GetGrid()->OnButtonClick(m_nRow, m_nCol);
  return TRUE;
}

BOOL CGridCellButton::Draw(CDC* dc, int row, int col, CRect rect, BOOL eraseBkgnd) {
  m_Rect = rect;
  if (!CGridCell::Draw(dc, row, col, rect, eraseBkgnd)) return FALSE;
  CRect button = m_Rect;
  button.DeflateRect(1, 1);
  dc->DrawFrameControl(&button, DFC_BUTTON, DFCS_BUTTONPUSH);
  return CGridCell::Draw(dc, row, col, rect, FALSE);
}

BOOL CGridCellButton::GetTextRect(LPRECT rect) {
  CGridCell::GetTextRect(rect);
  const int margin = int(GetMargin());
  rect->left += margin;
  rect->right -= margin;
  rect->bottom -= margin;
  return TRUE;
}

CSize CGridCellButton::GetCellExtent(CDC* dc) {
  CSize size = CGridCell::GetCellExtent(dc);
  const int extra = ::GetSystemMetrics(SM_CXHSCROLL) + 2 * int(GetMargin());
  return CSize(size.cx + extra, size.cy + extra);
}

void CGridCellButton::OnClick(CPoint point) {
  CRect button(0, 0, m_Rect.Width(), m_Rect.Height());
  button.DeflateRect(1, 1);
  if (!button.PtInRect(point) || !GetGrid()) return;
  GetGrid()->InvalidateRect(&m_Rect, TRUE);
  GetGrid()->OnButtonClick(m_nRow, m_nCol);
}

// ---- combo --------------------------------------------------------------------------------------------------------

void CGridCellCombo::SetOptions(const CStringArray& options) {
  m_Strings.RemoveAll();
  for (INT_PTR i = 0; i < options.GetSize(); ++i) m_Strings.Add(options[i]);
}

void CGridCellCombo::GetOptions(CStringArray& out) const {
  out.RemoveAll();
  for (INT_PTR i = 0; i < m_Strings.GetSize(); ++i) out.Add(m_Strings[i]);
}

CRect CGridCellCombo::ArrowRect(const CRect& rect) {
  const int arrow = ::GetSystemMetrics(SM_CYHSCROLL);
  if (arrow >= rect.Width() || arrow >= rect.Height()) return CRect(0, 0, 0, 0);
  return CRect(rect.right - ::GetSystemMetrics(SM_CXVSCROLL), rect.top, rect.right, rect.top + arrow);
}

BOOL CGridCellCombo::Draw(CDC* dc, int row, int col, CRect rect, BOOL eraseBkgnd) {
  CGridCtrl* grid = GetGrid();
  if (CRect button = ArrowRect(rect); grid && grid->IsCellEditable(row, col) && !IsEditing() && !button.IsRectEmpty()) {
    dc->DrawFrameControl(&button, DFC_SCROLL, DFCS_SCROLLDOWN);
    rect.right = button.left;
  }
  // An open list shows the value; the cell underneath shows nothing of its own.
  CString kept;
  if (IsEditing()) {
    kept = m_strText;
    m_strText.Empty();
  }
  BOOL drawn = CGridCell::Draw(dc, row, col, rect, eraseBkgnd);
  if (IsEditing()) m_strText = kept;
  return drawn;
}

CSize CGridCellCombo::GetCellExtent(CDC* dc) {
  CSize size = CGridCell::GetCellExtent(dc);
  return CSize(size.cx + ::GetSystemMetrics(SM_CXVSCROLL), size.cy + ::GetSystemMetrics(SM_CYHSCROLL));
}

BOOL CGridCellCombo::Edit(int row, int col, CRect rect, CPoint, UINT id, UINT nChar) {
  m_bEditing = TRUE;
  m_pEditWnd = new CGridInPlaceCombo(GetGrid(), rect, m_dwStyle, id, row, col, GetTextClr(), GetBackClr(), m_Strings,
                                     GetText(), nChar);
  return TRUE;
}

void CGridCellCombo::EndEdit() {
  if (auto* combo = dynamic_cast<CGridInPlaceCombo*>(m_pEditWnd)) combo->EndEdit();
}

void CGridCellCombo::CancelEdit() {
  if (auto* combo = dynamic_cast<CGridInPlaceCombo*>(m_pEditWnd)) combo->CancelEdit();
}

CWnd* CGridCellCombo::GetEditWnd() const {
  auto* combo = dynamic_cast<CGridInPlaceCombo*>(m_pEditWnd);
  if (!combo || (m_dwStyle & 0x3) == CBS_DROPDOWNLIST || !combo->m_edit.GetSafeHwnd()) return nullptr;
  return &combo->m_edit;
}

// ---- check --------------------------------------------------------------------------------------------------------

BOOL CGridCellCheck::SetCheck(BOOL checked) {
  BOOL old = m_bChecked;
  m_bChecked = checked;
  if (!m_Rect.IsRectEmpty() && GetGrid() && GetGrid()->GetSafeHwnd()) GetGrid()->InvalidateRect(&m_Rect, TRUE);
  return old;
}

BOOL CGridCellCheck::SetLocked(BOOL locked) {
  BOOL old = m_bLocked;
  m_bLocked = locked;
  if (!m_Rect.IsRectEmpty() && GetGrid() && GetGrid()->GetSafeHwnd()) GetGrid()->InvalidateRect(&m_Rect, TRUE);
  return old;
}

CRect CGridCellCheck::GetCheckPlacement() const {
  const int side = ::GetSystemMetrics(SM_CXHSCROLL);
  const int margin = int(GetMargin());
  CRect box(m_Rect.left + margin - 1, m_Rect.top + margin - 1, 0, 0);
  if (m_Rect.Width() > side) box.left = m_Rect.left + (m_Rect.Width() - side) / 2;
  box.right = box.left + side;
  box.bottom = box.top + side;
  return box;
}

void CGridCellCheck::Toggle() {
  m_bChecked = !m_bChecked;
  if (GetGrid()) {
    if (GetGrid()->GetSafeHwnd() && !m_Rect.IsRectEmpty()) GetGrid()->InvalidateRect(&m_Rect, TRUE);
    GetGrid()->OnCellCheck(m_nRow, m_nCol);
  }
}

BOOL CGridCellCheck::OnSpaceKey() {
  if (!m_bLocked) Toggle();
  return TRUE;
}

BOOL CGridCellCheck::Draw(CDC* dc, int row, int col, CRect rect, BOOL eraseBkgnd) {
  BOOL drawn = CGridCell::Draw(dc, row, col, rect, eraseBkgnd);
  m_Rect = rect;
  CRect box = GetCheckPlacement();
  box.right--;
  box.bottom--;
  dc->DrawFrameControl(&box, DFC_BUTTON,
                       DFCS_BUTTONCHECK | (m_bChecked ? DFCS_CHECKED : 0) | (m_bLocked ? DFCS_INACTIVE : 0));
  return drawn;
}

BOOL CGridCellCheck::GetTextRect(LPRECT rect) {
  CGridCell::GetTextRect(rect);
  rect->left = std::min(rect->left + ::GetSystemMetrics(SM_CXHSCROLL) + 2 * int(GetMargin()), rect->right);
  return TRUE;
}

CSize CGridCellCheck::GetCellExtent(CDC* dc) {
  CSize size = CGridCell::GetCellExtent(dc);
  const int extra = ::GetSystemMetrics(SM_CXHSCROLL) + 2 * int(GetMargin());
  return CSize(size.cx + extra, size.cy + extra);
}

void CGridCellCheck::OnClick(CPoint point) {
  if (m_bLocked) return;
  CRect box = GetCheckPlacement();
  box.OffsetRect(-m_Rect.left, -m_Rect.top);
  if (box.PtInRect(point)) Toggle();
}
