// The in-place editors a cell opens over itself: a single-line edit field and a combo box. Each takes the keyboard,
// decides which keys end the editing, sends the grid one end-of-edit notification with the text and the key that
// ended it, and deletes itself once its window is gone.
#pragma once

#include "platform/win/afx.h"

class CGridCtrl;

class CGridInPlaceEdit : public CEdit {
  DECLARE_DYNAMIC(CGridInPlaceEdit)
 public:
  CGridInPlaceEdit(CWnd* parent, CRect& rect, DWORD style, UINT id, int row, int col, CString text, UINT firstChar);
  void EndEdit();
  // Ends the edit as Escape does: the cell gets back the text the editor opened with.
  void CancelEdit();
  // Shows a refused text again for correction, the caret at its end. Escape gives back the text the editor opened
  // with; so does leaving the refused text as it stands other than by Return or Tab (a click elsewhere, the grid
  // read by its owner): it was said once.
  void ShowRefused(const CString& text);
  UINT LastKey() const { return m_nLastChar; }

 protected:
  void PostNcDestroy() override;
  void OnKillFocus(CWnd* newWnd);
  void OnChar(UINT ch, UINT repeat, UINT flags);
  void OnKeyDown(UINT ch, UINT repeat, UINT flags);
  UINT OnGetDlgCode() { return DLGC_WANTALLKEYS; }
  void OnSysChar(UINT, UINT, UINT) {}
  void OnRButtonUp(UINT flags, CPoint point);
  LRESULT OnPaste(WPARAM, LPARAM);
  // Widens the editor to its text (never narrower, never past the grid's client area).
  void FitText();

  int m_nRow, m_nColumn;
  CGridCtrl* m_pGrid;
  CString m_sInitText;
  CString m_sRefused;
  bool m_bShowsRefused = false;
  UINT m_nLastChar = 0;
  BOOL m_bExitOnArrows = FALSE;
  CRect m_Rect;
  DECLARE_MESSAGE_MAP()
};

class CGridInPlaceCombo;

// The combo box's edit field: keeps the editing keys away from dialog navigation and ends the edit on focus loss.
class CGridComboEditPart : public CEdit {
  DECLARE_DYNAMIC(CGridComboEditPart)
 public:
  BOOL PreTranslateMessage(MSG* msg) override;

 protected:
  void OnKeyDown(UINT ch, UINT repeat, UINT flags);
  void OnKeyUp(UINT ch, UINT repeat, UINT flags);
  void OnKillFocus(CWnd* newWnd);
  LRESULT OnPaste(WPARAM, LPARAM);
  CGridInPlaceCombo* Combo() const;
  DECLARE_MESSAGE_MAP()
};

class CGridInPlaceCombo : public CComboBox {
  DECLARE_DYNAMIC(CGridInPlaceCombo)
 public:
  CGridInPlaceCombo(CWnd* parent, CRect& rect, DWORD style, UINT id, int row, int col, COLORREF crFore, COLORREF crBack,
                    const CStringArray& items, const CString& text, UINT firstChar);
  void EndEdit();
  // Ends the edit as Escape does.
  void CancelEdit();
  int GetDropWidth();
  int ListLines() const { return m_nNumLines; }
  UINT LastKey() const { return m_nLastChar; }
  CGridComboEditPart m_edit;

 protected:
  friend class CGridComboEditPart;
  void PostNcDestroy() override;
  void OnKillFocus(CWnd* newWnd);
  void OnKeyDown(UINT ch, UINT repeat, UINT flags);
  void OnKeyUp(UINT ch, UINT repeat, UINT flags);
  void OnChar(UINT ch, UINT repeat, UINT flags);
  void OnDropdown();
  void OnCloseUp();
  UINT OnGetDlgCode() { return DLGC_WANTALLKEYS; }
  void OnRButtonUp(UINT flags, CPoint point);
  void EndWithKey(UINT key);
  static bool IsEndKey(UINT ch) { return ch == VK_ESCAPE || ch == VK_TAB || ch == VK_RETURN; }

  int m_nNumLines;
  CString m_sInitText;
  int m_nRow, m_nCol;
  UINT m_nLastChar = 0;
  BOOL m_bExitOnArrows = FALSE;
  COLORREF m_crForeClr, m_crBackClr;
  CGridCtrl* m_pGrid;
  bool m_bEnded = false;
  // The ending key (Escape, Tab, Return) pressed in this editor: only its release ends the edit. The release of the
  // key that ended the cell before and opened this one must not end this one too.
  UINT m_nEndKeyDown = 0;
  // The grid takes a choice made by an ending key: that key, not the grid, ends the edit.
  bool m_bTakingChoice = false;
  int m_nShownItem = -1;  // the item the cell shows: closing the list on it again is no choice
  DECLARE_MESSAGE_MAP()
};

// An editor that loses the keyboard to no window (it was closed or hidden while it had it: its edit ended by the
// grid, by a choice in its list) gives it to the grid: without a focus window the keys would reach the dialog, and
// Escape would end it.
void GiveFocusToGrid(CWnd* newWnd, CWnd* grid);

// Sends the grid's end-of-edit notification for an editor window (shared by both editors).
void SendEndEditNotification(CWnd* editor, int row, int col, const CString& text, UINT lastKey);
