// The grid control: cut, copy and paste of cell texts, and dragging cells to another grid or place.
#include "controls/GridCtrl.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

CString Trimmed(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t\r\n\v\f");
  if (b == std::string::npos) return CString();
  std::size_t e = s.find_last_not_of(" \t\r\n\v\f");
  return CString(s.substr(b, e - b + 1).c_str());
}

bool ReadPastedText(COleDataObject* data, std::string& text) {
  if (!data || !data->IsDataAvailable(CF_TEXT)) return false;
  HGLOBAL mem = data->GetGlobalData(CF_TEXT);
  if (!mem) return false;
  text = static_cast<const char*>(::GlobalLock(mem));
  ::GlobalUnlock(mem);
  ::GlobalFree(mem);
  return true;
}

}  // namespace

// ---- clipboard and drag and drop -----------------------------------------------------------------------------------

void CGridCtrl::CutSelectedText() {
  if (!m_bEditingAllowed) return;
  std::vector<CCellID> cells;
  for (POSITION pos = m_Selection.GetStartPosition(); pos;) {
    SelectionKey key;
    CCellID id;
    m_Selection.GetNextAssoc(pos, key, id);
    cells.push_back(id);
  }
  for (const CCellID& id : cells) ReplaceCellText(id.row, id.col, "");
}

COleDataSource* CGridCtrl::CopyTextFromGrid() {
  CCellBlock range = GetSelectedRange();
  // A grid that selects nothing (or a click that selected nothing) copies its focus cell.
  const bool focusOnly = !IsValid(range) && IsValid(m_idCurrentCell);
  if (focusOnly) range = CCellBlock(m_idCurrentCell.row, m_idCurrentCell.col, m_idCurrentCell.row, m_idCurrentCell.col);
  if (!IsValid(range)) return nullptr;
  if (m_bVirtual) SendCacheHintToParent(range);
  std::string text;
  bool firstRow = true;
  for (int r = range.minRow; r <= range.maxRow; ++r) {
    if (GetRowHeight(r) <= 0) continue;
    if (!firstRow) text += '\n';
    firstRow = false;
    bool firstCol = true;
    for (int c = range.minCol; c <= range.maxCol; ++c) {
      if (GetColumnWidth(c) <= 0) continue;
      if (!firstCol) text += '\t';
      firstCol = false;
      if (focusOnly || IsCellSelected(r, c)) text += ClipboardText(r, c).GetString();
    }
  }
  if (m_bVirtual) SendCacheHintToParent(CCellBlock());
  HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, text.size() + 1);
  if (!mem) return nullptr;
  auto* p = static_cast<char*>(::GlobalLock(mem));
  std::memcpy(p, text.c_str(), text.size() + 1);
  ::GlobalUnlock(mem);
  auto* source = new COleDataSource;
  source->CacheGlobalData(CF_TEXT, mem);
  return source;
}

std::vector<CGridCtrl::PastedLine> CGridCtrl::PastedLines(const std::string& text, int firstCol,
                                                          bool* droppedText) const {
  // Rows end at a line end of any system ("\r\n", "\n", "\r"); the line end after the last row (spreadsheets
  // write one) starts no empty row that would blank the cell below.
  std::vector<std::string> texts;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      if (start < text.size() || texts.empty()) texts.push_back(text.substr(start));
      break;
    }
    texts.push_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  std::vector<PastedLine> lines(texts.size());
  for (std::size_t k = 0; k < texts.size(); ++k) {
    const std::string& line = texts[k];
    int col = firstCol;
    for (std::size_t fieldStart = 0; fieldStart <= line.size(); ++col) {
      // Cells end at tabs only: a comma is the decimal comma of "12,5", part of the value.
      std::size_t fieldEnd = line.find('\t', fieldStart);
      if (fieldEnd == std::string::npos) fieldEnd = line.size();
      while (col < m_nColCount && GetColumnWidth(col) <= 0) ++col;
      if (col >= m_nColCount) {
        if (droppedText && line.find_first_not_of(" \t", fieldStart) != std::string::npos) *droppedText = true;
        break;
      }
      lines[k].push_back({col, Trimmed(line.substr(fieldStart, fieldEnd - fieldStart))});
      fieldStart = fieldEnd + 1;
    }
  }
  return lines;
}

bool CGridCtrl::IsBlankLine(const PastedLine& line) {
  return std::all_of(line.begin(), line.end(), [](const PastedField& f) { return f.text.IsEmpty(); });
}

BOOL CGridCtrl::PasteTextToGrid(CCellID cell, COleDataObject* data, BOOL selectPastedCells) {
  std::string text;
  if (!IsValid(cell) || !IsCellEditable(cell) || !ReadPastedText(data, text)) return FALSE;
  bool fieldsDropped = false;
  const std::vector<PastedLine> lines = PastedLines(text, cell.col, &fieldsDropped);
  std::size_t taken = lines.size();
  if (!ConfirmPaste(cell, lines, taken)) return FALSE;
  // A move cuts its source only when all of it arrived, fields past the last column included.
  m_bLastPasteWhole = taken >= lines.size() && !fieldsDropped;
  int maxRow = cell.row, maxCol = cell.col;
  int row = cell.row;
  for (std::size_t k = 0; k < std::min(taken, lines.size()); ++k) {
    while (row < m_nRowCount && GetRowHeight(row) <= 0) ++row;
    if (row >= m_nRowCount) {
      m_bLastPasteWhole = FALSE;
      break;
    }
    for (const PastedField& field : lines[k]) {
      if (!ReplaceCellText(row, field.col, field.text)) m_bLastPasteWhole = FALSE;
      if (!m_bVirtual)
        if (CGridCellBase* c = GetCell(row, field.col)) c->SetState(c->GetState() & ~DWORD(GVIS_SELECTED));
      m_Selection.RemoveKey(SelKey(row, field.col));
      maxRow = std::max(maxRow, row);
      maxCol = std::max(maxCol, field.col);
    }
    ++row;
  }
  m_LastPaste = CCellBlock(cell.row, cell.col, maxRow, maxCol);
  if (selectPastedCells) {
    SetSelectedRange(cell.row, cell.col, maxRow, maxCol, TRUE, TRUE);
  } else {
    ResetSelectedRange();
    Invalidate();
  }
  return TRUE;
}

BOOL CGridCtrl::PasteIntoOpenCell(int row, int col) {
  COleDataObject data;
  std::string text;
  if (!data.AttachClipboard() || !ReadPastedText(&data, text)) return FALSE;
  bool fieldsDropped = false;
  std::vector<PastedLine> lines = PastedLines(text, col, &fieldsDropped);
  // Empty lines at the end fill no cell (a copied cell's line ends).
  while (lines.size() > 1 && IsBlankLine(lines.back())) lines.pop_back();
  if (!fieldsDropped && lines.size() == 1 && lines[0].size() == 1) return FALSE;
  CGridCellBase* cell = GetCell(row, col);
  CWnd* edit = cell ? cell->GetEditWnd() : nullptr;
  if (!edit) return FALSE;
  CString typed;
  edit->GetWindowText(typed);
  const DWORD selection = DWORD(edit->SendMessage(EM_GETSEL));
  cell->CancelEdit();
  if (PasteTextToGrid(CCellID(row, col), &data, TRUE)) return TRUE;
  // Nothing pasted: the editor comes back with its text and selection, as before the keys.
  SetFocusCell(row, col);
  OnEditCell(row, col, CPoint(-1, -1), VK_LBUTTON);
  if (CGridCellBase* again = GetCell(row, col); again && again->IsEditing())
    if (CWnd* reopened = again->GetEditWnd()) {
      reopened->SetWindowText(typed);
      reopened->SendMessage(EM_SETSEL, WPARAM(LOWORD(selection)), LPARAM(HIWORD(selection)));
    }
  return TRUE;
}

void CGridCtrl::OnEditCut() {
  if (!m_bEditingAllowed) return;
  COleDataSource* source = CopyTextFromGrid();
  if (!source) return;
  source->SetClipboard();  // the clipboard owns it now
  if (GetSelectedCount() == 0 && IsValid(m_idCurrentCell))
    ReplaceCellText(m_idCurrentCell.row, m_idCurrentCell.col, "");
  else
    CutSelectedText();
}

void CGridCtrl::OnEditCopy() {
  if (COleDataSource* source = CopyTextFromGrid()) source->SetClipboard();
}

void CGridCtrl::OnEditPaste() {
  if (!m_bEditingAllowed) return;
  CCellID target;
  CCellBlock sel = GetSelectedRange();
  if (IsValid(sel))
    target = CCellID(sel.minRow, sel.minCol);
  else if (IsValid(m_idCurrentCell))
    target = m_idCurrentCell;
  else
    target = GetTopleftNonFixedCell();
  if (!IsValid(target)) return;
  CGridCellBase* cell = GetCell(target.row, target.col);
  if (cell && cell->IsEditing()) {
    if (CWnd* edit = cell->GetEditWnd(); edit && edit->IsKindOf(RUNTIME_CLASS(CEdit))) {
      edit->SendMessage(WM_PASTE);
      return;
    }
  }
  COleDataObject data;
  if (data.AttachClipboard()) PasteTextToGrid(target, &data, TRUE);
}

void CGridCtrl::OnEditSelectAll() {
  SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, GVN_SELCHANGING);
  SelectAllCells();
  SendMessageToParent(m_idCurrentCell.row, m_idCurrentCell.col, GVN_SELCHANGED);
}

void CGridCtrl::OnUpdateEditCopy(CCmdUI* ui) { ui->Enable(GetSelectedCount() > 0 || IsValid(m_idCurrentCell)); }
void CGridCtrl::OnUpdateEditCut(CCmdUI* ui) {
  ui->Enable(m_bEditingAllowed && (GetSelectedCount() > 0 || IsValid(m_idCurrentCell)));
}
void CGridCtrl::OnUpdateEditPaste(CCmdUI* ui) {
  COleDataObject data;
  ui->Enable(IsValid(m_idCurrentCell) && IsCellEditable(m_idCurrentCell) && data.AttachClipboard() &&
             data.IsDataAvailable(CF_TEXT));
}
void CGridCtrl::OnUpdateEditSelectAll(CCmdUI* ui) { ui->Enable(m_bSelectionOn); }

void CGridCtrl::EnableDragAndDrop(BOOL on) {
  m_bAllowDragAndDrop = on;
  // Nothing else registers the grid as a drop target: it is registered as soon as dragging is switched on.
  if (on && GetSafeHwnd()) m_DropTarget.Register(this);
}

void CGridCtrl::OnBeginDrag() {
  if (!m_bAllowDragAndDrop) return;
  COleDataSource* source = CopyTextFromGrid();
  if (!source) return;
  CCellBlock sel = GetSelectedRange();
  SendMessageToParent(sel.minRow, sel.minCol, GVN_BEGINDRAG);
  m_MouseMode = MOUSE_DRAGGING;
  m_bLMouseButtonDown = FALSE;
  // A drop on this grid clears its selection: a move empties the cells that were dragged, kept from here.
  std::vector<CCellID> dragged;
  for (POSITION pos = m_Selection.GetStartPosition(); pos;) {
    SelectionKey key;
    CCellID id;
    m_Selection.GetNextAssoc(pos, key, id);
    dragged.push_back(id);
  }
  DROPEFFECT effect = source->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE);
  // The drag is over however it ended, also where no drop on this grid nor a lost capture said so.
  if (m_MouseMode == MOUSE_DRAGGING) m_MouseMode = MOUSE_NOTHING;
  if ((effect & DROPEFFECT_MOVE) && m_bEditingAllowed) {
    const CCellBlock pasted = m_LastPaste;
    for (const CCellID& id : dragged)
      if (!pasted.Contains(id.row, id.col)) ReplaceCellText(id.row, id.col, "");
  }
  m_LastPaste = CCellBlock();
  delete source;
}

DROPEFFECT CGridCtrl::OnDragEnter(COleDataObject* data, DWORD keyState, CPoint point) {
  if (!m_bAllowDragAndDrop || !data || !data->IsDataAvailable(CF_TEXT)) return DROPEFFECT_NONE;
  m_LastDragOverCell = GetCellFromPt(point, FALSE);
  if (!IsValid(m_LastDragOverCell) || !IsCellEditable(m_LastDragOverCell)) return DROPEFFECT_NONE;
  if (!m_bVirtual)
    if (CGridCellBase* cell = GetCell(m_LastDragOverCell.row, m_LastDragOverCell.col))
      cell->SetState(cell->GetState() | GVIS_DROPHILITED);
  RedrawCell(m_LastDragOverCell.row, m_LastDragOverCell.col);
  return (keyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

DROPEFFECT CGridCtrl::OnDragOver(COleDataObject* data, DWORD keyState, CPoint point) {
  if (!m_bAllowDragAndDrop || !m_bEditingAllowed || !data || !data->IsDataAvailable(CF_TEXT)) return DROPEFFECT_NONE;
  CCellID cell = GetCellFromPt(point, FALSE);
  if (!IsValid(cell)) {
    OnDragLeave();
    m_LastDragOverCell = CCellID();
    return DROPEFFECT_NONE;
  }
  if (!IsCellEditable(cell)) return DROPEFFECT_NONE;
  if (cell != m_LastDragOverCell) {
    OnDragLeave();
    m_LastDragOverCell = cell;
    if (!m_bVirtual)
      if (CGridCellBase* c = GetCell(cell.row, cell.col)) c->SetState(c->GetState() | GVIS_DROPHILITED);
    RedrawCell(cell.row, cell.col);
  }
  return (keyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

void CGridCtrl::OnDragLeave() {
  if (!IsValid(m_LastDragOverCell)) return;
  if (!m_bVirtual)
    if (CGridCellBase* cell = GetCell(m_LastDragOverCell.row, m_LastDragOverCell.col))
      cell->SetState(cell->GetState() & ~DWORD(GVIS_DROPHILITED));
  RedrawCell(m_LastDragOverCell.row, m_LastDragOverCell.col);
}

BOOL CGridCtrl::OnDrop(COleDataObject* data, DROPEFFECT, CPoint) {
  m_MouseMode = MOUSE_NOTHING;
  if (!IsCellEditable(m_LastDragOverCell)) return FALSE;
  OnDragLeave();
  return PasteTextToGrid(m_LastDragOverCell, data, FALSE);
}

CImageList* CGridCtrl::CreateDragImage(CPoint* hotSpot) {
  CRect rect;
  if (!GetSafeHwnd() || !GetCellRect(m_idCurrentCell, &rect)) return nullptr;
  CGridCellBase* cell = GetCell(m_idCurrentCell.row, m_idCurrentCell.col);
  if (!cell) return nullptr;
  rect.OffsetRect(-rect.left, -rect.top);
  if (hotSpot) *hotSpot = CPoint(rect.Width(), rect.Height());
  CClientDC screen(this);
  CDC mem;
  CBitmap bitmap;
  if (!mem.CreateCompatibleDC(&screen) || !bitmap.CreateCompatibleBitmap(&screen, rect.Width(), rect.Height()))
    return nullptr;
  CBitmap* old = mem.SelectObject(&bitmap);
  cell->Draw(&mem, m_idCurrentCell.row, m_idCurrentCell.col, rect, FALSE);
  mem.SelectObject(old);
  auto* list = new CImageList;
  list->Create(rect.Width(), rect.Height(), ILC_MASK | ILC_COLOR32, 1, 1);
  COLORREF mask = cell->GetBackClr();
  if (mask == CLR_DEFAULT) mask = cell->GetDefaultCell()->GetBackClr();
  list->Add(&bitmap, mask);
  return list;
}
