// Three cells beyond the plain text cell: a push button, a text cell edited through a drop-down list, and a check
// box. Each changes only how it draws, is measured, is clicked and is edited.
#pragma once

#include "controls/GridCell.h"

class CGridCellButton : public CGridCell {
  DECLARE_DYNCREATE(CGridCellButton)
 public:
  BOOL IsClickable() const override { return TRUE; }
  BOOL OnSpaceKey() override;
  BOOL Draw(CDC* dc, int row, int col, CRect rect, BOOL eraseBkgnd = TRUE) override;
  BOOL GetTextRect(LPRECT rect) override;
  CSize GetCellExtent(CDC* dc) override;
  void OnClick(CPoint point) override;

 protected:
  CRect m_Rect;
};

class CGridCellCombo : public CGridCell {
  DECLARE_DYNCREATE(CGridCellCombo)
 public:
  void SetOptions(const CStringArray& options);
  void GetOptions(CStringArray& out) const;
  void SetStyle(DWORD style) { m_dwStyle = style; }
  DWORD GetStyle() const { return m_dwStyle; }
  // Where the cell drawn in `rect` shows its arrow button; empty when the button does not fit.
  static CRect ArrowRect(const CRect& rect);
  BOOL Draw(CDC* dc, int row, int col, CRect rect, BOOL eraseBkgnd = TRUE) override;
  CSize GetCellExtent(CDC* dc) override;
  BOOL Edit(int row, int col, CRect rect, CPoint point, UINT id, UINT nChar) override;
  void EndEdit() override;
  void CancelEdit() override;
  CWnd* GetEditWnd() const override;

 protected:
  CStringArray m_Strings;
  DWORD m_dwStyle = CBS_DROPDOWN;
};

class CGridCellCheck : public CGridCell {
  DECLARE_DYNCREATE(CGridCellCheck)
 public:
  BOOL SetCheck(BOOL checked = TRUE);
  BOOL GetCheck() const { return m_bChecked; }
  BOOL SetLocked(BOOL locked = TRUE);
  BOOL IsLocked() const { return m_bLocked; }
  BOOL IsClickable() const override { return !m_bLocked; }
  BOOL OnSpaceKey() override;
  BOOL Draw(CDC* dc, int row, int col, CRect rect, BOOL eraseBkgnd = TRUE) override;
  BOOL GetTextRect(LPRECT rect) override;
  CSize GetCellExtent(CDC* dc) override;
  void OnClick(CPoint point) override;
  // The check box in the grid's client coordinates (from the last drawn rectangle).
  CRect GetCheckPlacement() const;

 protected:
  void Toggle();
  BOOL m_bChecked = FALSE;
  BOOL m_bLocked = FALSE;
  CRect m_Rect;
};
