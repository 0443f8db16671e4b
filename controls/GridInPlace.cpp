#include "controls/GridInPlace.h"

#include <algorithm>

#include "controls/GridCtrl.h"

IMPLEMENT_DYNAMIC(CGridInPlaceEdit, CEdit)
IMPLEMENT_DYNAMIC(CGridComboEditPart, CEdit)
IMPLEMENT_DYNAMIC(CGridInPlaceCombo, CComboBox)

namespace {

constexpr UINT kComboFieldId = 1001;

bool IsNavigationKey(UINT ch) { return ch >= VK_PRIOR && ch <= VK_DOWN; }
bool IsExitArrow(UINT ch) {
  return ch == VK_PRIOR || ch == VK_NEXT || ch == VK_LEFT || ch == VK_RIGHT || ch == VK_UP || ch == VK_DOWN;
}
bool CtrlHeld() { return (::GetKeyState(VK_CONTROL) & 0x8000) != 0; }

// Clears an "ending" flag however the ending leaves (a shortage thrown through it included): a flag left set would
// keep every later editor from ending.
struct Ending {
  explicit Ending(bool& flag) : flag(flag) { flag = true; }
  ~Ending() { flag = false; }
  bool& flag;
};

// Where the caret goes and which character follows when an editor opens.
void PlaceCaret(CWnd* field, CWnd* charTarget, UINT firstChar, bool imeForWide) {
  const int length = field->GetWindowTextLength();
  if (firstChar == VK_LBUTTON || firstChar == VK_RETURN) {
    field->SendMessage(EM_SETSEL, WPARAM(length), LPARAM(-1));
    field->SendMessage(EM_SCROLLCARET);
    return;
  }
  if (firstChar == VK_BACK) {
    field->SendMessage(EM_SETSEL, WPARAM(length), LPARAM(-1));
    field->SendMessage(EM_SCROLLCARET);
    charTarget->SendMessage(WM_CHAR, firstChar);
    return;
  }
  field->SendMessage(EM_SETSEL, 0, LPARAM(-1));
  field->SendMessage(EM_SCROLLCARET);
  if (firstChar == VK_TAB || firstChar == VK_SPACE || IsNavigationKey(firstChar)) return;
  charTarget->SendMessage(imeForWide && firstChar >= 0x80 ? WM_IME_CHAR : WM_CHAR, firstChar);
}

}  // namespace

void SendEndEditNotification(CWnd* editor, int row, int col, const CString& text, UINT lastKey) {
  GridDisplayInfo info{};
  info.hdr.hwndFrom = editor->GetSafeHwnd();
  info.hdr.idFrom = UINT_PTR(editor->GetDlgCtrlID());
  info.hdr.code = UINT(GVN_ENDLABELEDIT);
  info.item.mask = LVIF_TEXT | LVIF_PARAM;
  info.item.row = row;
  info.item.col = col;
  info.item.strText = text;
  info.item.lParam = LPARAM(lastKey);
  CWnd* owner = editor->GetOwner();
  if (owner) owner->SendMessage(WM_NOTIFY, WPARAM(info.hdr.idFrom), LPARAM(&info));
}

void GiveFocusToGrid(CWnd* newWnd, CWnd* grid) {
  if (newWnd || ::GetFocus() || !grid || !::IsWindow(grid->GetSafeHwnd())) return;
  // Not while a modal window holds the dialog (it disabled it) or the dialog goes.
  const HWND root = ::GetAncestor(grid->m_hWnd, GA_ROOT);
  if (!grid->IsWindowVisible() || !::IsWindowEnabled(root) || ::GetActiveWindow() != root) return;
  grid->SetFocus();
}

// ---- edit ---------------------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CGridInPlaceEdit, CEdit)
ON_WM_KILLFOCUS()
ON_WM_CHAR()
ON_WM_KEYDOWN()
ON_WM_GETDLGCODE()
ON_WM_SYSCHAR()
ON_WM_RBUTTONUP()
ON_MESSAGE(WM_PASTE, OnPaste)
END_MESSAGE_MAP()

CGridInPlaceEdit::CGridInPlaceEdit(CWnd* parent, CRect& rect, DWORD style, UINT id, int row, int col, CString text,
                                   UINT firstChar)
    : m_nRow(row), m_nColumn(col), m_pGrid(static_cast<CGridCtrl*>(parent)), m_sInitText(text), m_Rect(rect) {
  if (!Create(style | WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, rect, parent, id)) return;
  SendMessage(WM_SETFONT, WPARAM(parent->SendMessage(WM_GETFONT)), 0);
  SetWindowText(text);
  SetFocus();
  PlaceCaret(this, this, firstChar, true);
}

void CGridInPlaceEdit::OnKeyDown(UINT ch, UINT repeat, UINT flags) {
  if (IsExitArrow(ch) && (m_bExitOnArrows || CtrlHeld() || ch == VK_UP || ch == VK_DOWN)) {
    m_nLastChar = ch;
    GetParent()->SetFocus();
    return;
  }
  Default();
}

void CGridInPlaceEdit::OnChar(UINT ch, UINT repeat, UINT flags) {
  if (ch == VK_TAB || ch == VK_RETURN) {
    m_nLastChar = ch;
    GetParent()->SetFocus();
    return;
  }
  if (ch == VK_ESCAPE) {
    CancelEdit();
    return;
  }
  // Ctrl+V: a paste for more cells than this one closes the editor, which is not to be touched after it.
  if (ch == 0x16) {
    SendMessage(WM_PASTE);
    return;
  }
  Default();
  FitText();
}

void CGridInPlaceEdit::CancelEdit() {
  SetWindowText(m_sInitText);
  m_nLastChar = VK_ESCAPE;
  // The edit ends as the editor loses the keyboard; one without the keyboard ends at once.
  if (::GetFocus() == m_hWnd)
    GetParent()->SetFocus();
  else
    EndEdit();
}

void CGridInPlaceEdit::ShowRefused(const CString& text) {
  m_sRefused = text;
  m_bShowsRefused = true;
  SetWindowText(text);
  const int length = GetWindowTextLength();
  SendMessage(EM_SETSEL, WPARAM(length), LPARAM(length));
  FitText();
  SendMessage(EM_SCROLLCARET);
}

LRESULT CGridInPlaceEdit::OnPaste(WPARAM, LPARAM) {
  // Text for more cells than this one is the grid's paste, after which this editor is gone.
  if (m_pGrid->PasteIntoOpenCell(m_nRow, m_nColumn)) return 0;
  const LRESULT result = Default();
  FitText();
  return result;
}

void CGridInPlaceEdit::FitText() {
  CString text;
  GetWindowText(text);
  CClientDC dc(this);
  CFont* old = dc.SelectObject(GetFont());
  CSize size = dc.GetTextExtent(text + "  ");
  dc.SelectObject(old);
  CRect client;
  m_pGrid->GetClientRect(&client);
  if (size.cx > m_Rect.Width()) {
    m_Rect.right = std::min(m_Rect.left + int(size.cx), int(client.right));
    MoveWindow(&m_Rect);
  }
}

void CGridInPlaceEdit::OnKillFocus(CWnd* newWnd) {
  Default();
  CWnd* grid = m_pGrid;
  EndEdit();
  GiveFocusToGrid(newWnd, grid);
}

void CGridInPlaceEdit::OnRButtonUp(UINT flags, CPoint point) {
  MapWindowPoints(m_pGrid, &point, 1);
  m_pGrid->OnRButtonUpHook(flags, point);
}

void CGridInPlaceEdit::EndEdit() {
  // The focus loss caused by closing would end the edit a second time.
  static bool ending = false;
  if (ending) return;
  const Ending scope(ending);
  CString text;
  GetWindowText(text);
  UINT key = m_nLastChar;
  if (m_bShowsRefused && text == m_sRefused && key != VK_RETURN && key != VK_TAB) {
    text = m_sInitText;
    key = VK_ESCAPE;
  }
  if (GetSafeHwnd()) SendEndEditNotification(this, m_nRow, m_nColumn, text, key);
  if (::IsWindow(GetSafeHwnd())) SendMessage(WM_CLOSE);
}

void CGridInPlaceEdit::PostNcDestroy() { delete this; }

// ---- combo's edit field -------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CGridComboEditPart, CEdit)
ON_WM_KEYDOWN()
ON_WM_KEYUP()
ON_WM_KILLFOCUS()
ON_MESSAGE(WM_PASTE, OnPaste)
END_MESSAGE_MAP()

CGridInPlaceCombo* CGridComboEditPart::Combo() const { return static_cast<CGridInPlaceCombo*>(GetParent()); }

BOOL CGridComboEditPart::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) {
    ::TranslateMessage(msg);
    ::DispatchMessage(msg);
    return TRUE;
  }
  return msg->message == WM_SYSCHAR;
}

void CGridComboEditPart::OnKeyDown(UINT ch, UINT repeat, UINT flags) {
  if (CGridInPlaceCombo::IsEndKey(ch)) Combo()->m_nEndKeyDown = ch;
  if (IsExitArrow(ch) && CtrlHeld() && GetDlgCtrlID() == int(kComboFieldId)) {
    Combo()->SendMessage(WM_KEYDOWN, ch, MAKELPARAM(repeat, flags));
    return;
  }
  Default();
}

void CGridComboEditPart::OnKeyUp(UINT ch, UINT repeat, UINT flags) {
  if (ch == VK_ESCAPE || ch == VK_TAB || ch == VK_RETURN) {
    Combo()->SendMessage(WM_KEYUP, ch, MAKELPARAM(repeat, flags));
    return;
  }
  Default();
}

void CGridComboEditPart::OnKillFocus(CWnd* newWnd) {
  Default();
  CWnd* grid = Combo()->m_pGrid;
  Combo()->EndEdit();
  GiveFocusToGrid(newWnd, grid);
}

LRESULT CGridComboEditPart::OnPaste(WPARAM, LPARAM) {
  CGridInPlaceCombo* combo = Combo();
  if (combo->m_pGrid->PasteIntoOpenCell(combo->m_nRow, combo->m_nCol)) return 0;
  return Default();
}

// ---- combo --------------------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CGridInPlaceCombo, CComboBox)
ON_WM_KILLFOCUS()
ON_WM_KEYDOWN()
ON_WM_KEYUP()
ON_WM_CHAR()
ON_CONTROL_REFLECT(CBN_DROPDOWN, OnDropdown)
ON_CONTROL_REFLECT(CBN_CLOSEUP, OnCloseUp)
ON_WM_GETDLGCODE()
ON_WM_RBUTTONUP()
END_MESSAGE_MAP()

CGridInPlaceCombo::CGridInPlaceCombo(CWnd* parent, CRect& rect, DWORD style, UINT id, int row, int col, COLORREF crFore,
                                     COLORREF crBack, const CStringArray& items, const CString& text, UINT firstChar)
    : m_nNumLines(std::clamp(int(items.GetSize()), 4, 15)),
      m_sInitText(text),
      m_nRow(row),
      m_nCol(col),
      m_crForeClr(crFore),
      m_crBackClr(crBack),
      m_pGrid(static_cast<CGridCtrl*>(parent)) {
  const int cellHeight = rect.Height();
  CRect dropped = rect;
  dropped.bottom += ::GetSystemMetrics(SM_CYHSCROLL) + m_nNumLines * cellHeight;
  if (!Create(style | WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | CBS_AUTOHSCROLL, dropped, parent, id)) return;
  for (INT_PTR i = 0; i < items.GetSize(); ++i) AddString(items[i]);
  SendMessage(WM_SETFONT, WPARAM(parent->SendMessage(WM_GETFONT)), 0);
  SetItemHeight(-1, UINT(cellHeight));
  SetDroppedWidth(UINT(GetDropWidth()));
  SetHorizontalExtent(0);
  // Only the entry the cell shows is chosen: a search for the text's beginning would light the first entry for an
  // empty cell (the entry row of a grid), and Escape or a focus loss would take it.
  m_nShownItem = text.IsEmpty() ? CB_ERR : FindStringExact(-1, text);
  SetCurSel(m_nShownItem);
  if (m_nShownItem == CB_ERR) SetWindowText(text);
  ShowDropDown(TRUE);
  if ((style & 0x3) == CBS_DROPDOWNLIST) {
    SetFocus();
    // A letter that opened the list picks the first entry it begins, as typing into the open list does.
    if (firstChar > VK_SPACE && !IsNavigationKey(firstChar)) SendMessage(WM_CHAR, firstChar);
    return;
  }
  m_edit.SubclassDlgItem(kComboFieldId, this);
  SetFocus();
  PlaceCaret(&m_edit, this, firstChar, false);
}

int CGridInPlaceCombo::GetDropWidth() {
  CClientDC dc(this);
  CFont* old = dc.SelectObject(GetFont());
  int widest = 0;
  for (int i = 0; i < GetCount(); ++i) {
    CString s;
    GetLBText(i, s);
    widest = std::max(widest, int(dc.GetTextExtent(s).cx));
  }
  int width = widest + ::GetSystemMetrics(SM_CXVSCROLL) + int(dc.GetTextExtent("0", 1).cx);
  dc.SelectObject(old);
  return std::min(width, 200);
}

void CGridInPlaceCombo::CancelEdit() {
  SetWindowText(m_sInitText);
  const HWND focus = ::GetFocus();
  if (focus == m_hWnd || (focus && ::GetParent(focus) == m_hWnd)) {
    EndWithKey(VK_ESCAPE);
    return;
  }
  m_nLastChar = VK_ESCAPE;
  EndEdit();
}

void CGridInPlaceCombo::EndWithKey(UINT key) {
  m_nLastChar = key;
  GetParent()->SetFocus();
}

void CGridInPlaceCombo::OnKeyDown(UINT ch, UINT repeat, UINT flags) {
  if (IsEndKey(ch)) m_nEndKeyDown = ch;
  if (IsExitArrow(ch) && (m_bExitOnArrows || CtrlHeld())) {
    EndWithKey(ch);
    return;
  }
  Default();
}

void CGridInPlaceCombo::OnKeyUp(UINT ch, UINT repeat, UINT flags) {
  // The edit field forwards the ending keys as key-ups; the release of a key pressed before this editor opened is
  // no key of its own.
  if (IsEndKey(ch)) {
    if (ch == m_nEndKeyDown) OnChar(ch, repeat, flags);
    return;
  }
  Default();
}

void CGridInPlaceCombo::OnChar(UINT ch, UINT repeat, UINT flags) {
  if (IsEndKey(ch)) m_nEndKeyDown = 0;
  if (ch == VK_ESCAPE) {
    CancelEdit();
    return;
  }
  if (ch == VK_TAB || ch == VK_RETURN) {
    EndWithKey(VK_RETURN);
    return;
  }
  // A character sent to the combo box is meant for its edit field.
  if (m_edit.GetSafeHwnd()) {
    m_edit.SendMessage(WM_CHAR, ch, MAKELPARAM(repeat, flags));
    return;
  }
  Default();
}

void CGridInPlaceCombo::OnKillFocus(CWnd* newWnd) {
  Default();
  if (newWnd != this && (GetStyle() & 0x3) == CBS_DROPDOWNLIST) EndEdit();
  GiveFocusToGrid(newWnd, m_pGrid);
}

void CGridInPlaceCombo::OnDropdown() { SetDroppedWidth(UINT(GetDropWidth())); }

void CGridInPlaceCombo::OnCloseUp() {
  int item = GetCurSel();
  // The list closed on the item the cell shows (its arrow clicked again, Escape) chooses nothing: the grid would
  // take the cell and end the edit, and the next Escape would reach the dialog.
  if (!m_pGrid || !::IsWindow(m_pGrid->GetSafeHwnd()) || item < 0 || item == m_nShownItem) return;
  m_nShownItem = item;
  CString text;
  GetLBText(item, text);
  m_pGrid->SetItemText(m_nRow, m_nCol, text);
  // A list closed by Return or Tab is ended by that key once the grid has taken the choice, and the grid goes on as
  // after that key elsewhere. The grid's reading of the cell while it takes the choice (it may set up the whole row
  // again) ended the edit before with no key: the focus stayed on the closed cell and the next Escape reached the
  // dialog.
  // A list closed by the mouse, F4 or Alt+Up keeps the cell open as one closed by keys does: Escape then ends only the
  // cell (it reached the dialog, which asked to discard the position).
  const bool byEndKey = m_nEndKeyDown == VK_RETURN || m_nEndKeyDown == VK_TAB;
  m_bTakingChoice = true;
  m_pGrid->OnCellComboSelect(m_nRow, m_nCol, item);
  m_bTakingChoice = false;
  if (!GetSafeHwnd()) return;
  // The choice is the cell's now: an Escape after it ends the cell with it, not with the text before.
  m_sInitText = text;
  const HWND focus = ::GetFocus();
  if (focus == m_hWnd || ::GetParent(focus) == m_hWnd) return;
  // The grid took the focus while it set up the row again: the cell stays open with the keys.
  if (!byEndKey && focus == m_pGrid->GetSafeHwnd()) {
    SetFocus();
    return;
  }
  // Taking it moved the focus away (a box that refused it): the key goes elsewhere, and the edit ends here.
  EndEdit();
}

void CGridInPlaceCombo::OnRButtonUp(UINT flags, CPoint point) {
  MapWindowPoints(m_pGrid, &point, 1);
  m_pGrid->OnRButtonUpHook(flags, point);
}

void CGridInPlaceCombo::EndEdit() {
  // The close is posted: until it comes, a focus loss of the edit field must not end the edit again.
  static bool ending = false;
  if (ending || m_bEnded || m_bTakingChoice || !GetSafeHwnd()) return;
  const Ending scope(ending);
  m_bEnded = true;
  UINT key = m_nLastChar;
  m_nLastChar = 0;
  // Escape gives the cell back what it showed: a list has no text of its own to restore an empty cell with.
  CString text = m_sInitText;
  if (key != VK_ESCAPE) GetWindowText(text);
  SendEndEditNotification(this, m_nRow, m_nCol, text, key);
  if (::IsWindow(GetSafeHwnd())) PostMessage(WM_CLOSE);
}

void CGridInPlaceCombo::PostNcDestroy() { delete this; }
