// The grid control: creation, rows and columns, cells and their attributes, sizes, the geometry of cells on the
// window, notifications, fonts and sorting. Painting, selection and keys, editing, the mouse, the clipboard and
// printing are in the GridCtrl*.cpp files beside it.
#include "controls/GridCtrl.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CGridRowArray, CObArray)
IMPLEMENT_DYNCREATE(CGridCtrl, CWnd)

namespace {

int ReadWheelLines() {
  int lines = 3;
  UINT value = 0;
  if (::SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &value, 0)) lines = int(value);
  return lines;
}

}  // namespace

BEGIN_MESSAGE_MAP(CGridCtrl, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
ON_WM_MOUSEWHEEL()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_MOUSEMOVE()
ON_WM_RBUTTONUP()
ON_WM_TIMER()
ON_WM_SETCURSOR()
ON_WM_CAPTURECHANGED()
ON_WM_CANCELMODE()
ON_WM_KEYDOWN()
ON_WM_SYSKEYDOWN()
ON_WM_CHAR()
ON_MESSAGE(WM_IME_CHAR, OnImeChar)
ON_WM_GETDLGCODE()
ON_NOTIFY(UINT(GVN_ENDLABELEDIT), IDC_INPLACE_CONTROL, OnEndInPlaceEdit)
ON_MESSAGE(WM_SETFONT, OnSetFontMsg)
ON_MESSAGE(WM_GETFONT, OnGetFontMsg)
ON_WM_SYSCOLORCHANGE()
ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
ON_COMMAND(ID_EDIT_CUT, OnEditCut)
ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
ON_COMMAND(ID_EDIT_SELECT_ALL, OnEditSelectAll)
ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateEditCopy)
ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateEditCut)
ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, OnUpdateEditPaste)
ON_UPDATE_COMMAND_UI(ID_EDIT_SELECT_ALL, OnUpdateEditSelectAll)
END_MESSAGE_MAP()

// ---- creation -----------------------------------------------------------------------------------------------------

CGridCtrl::CGridCtrl(int nRows, int nCols, int nFixedRows, int nFixedCols) : m_pRtcDefault(RUNTIME_CLASS(CGridCell)) {
  m_crWindowText = ::GetSysColor(COLOR_WINDOWTEXT);
  m_crWindowColour = ::GetSysColor(COLOR_WINDOW);
  m_cr3DFace = ::GetSysColor(COLOR_3DFACE);
  m_crShadow = ::GetSysColor(COLOR_3DSHADOW);
  RegisterWindowClass();
  if (!AfxOleInit())
    AfxMessageBox("OLE initialization failed. Make sure that the OLE libraries are the correct version");
  SetupDefaultCells();
  m_nWheelLines = ReadWheelLines();
  try {
    SetRowCount(nRows);
    SetColumnCount(nCols);
    SetFixedRowCount(nFixedRows);
    SetFixedColumnCount(nFixedCols);
  } catch (...) {
    // No destructor runs for a grid that was never made: its cells go here.
    RemoveAllCells();
    throw;
  }
  SetPrintMarginInfo(2, 2, 4, 4, 1, 1, 1);
}

void CGridCtrl::SetupDefaultCells() {
  for (CGridDefaultCell* c : {&m_cellDefault, &m_cellFixedColDef, &m_cellFixedRowDef, &m_cellFixedRowColDef}) {
    c->SetGrid(this);
    c->SetTextClr(m_crWindowText);
    c->SetBackClr(c == &m_cellDefault ? m_crWindowColour : m_cr3DFace);
  }
  m_Font.DeleteObject();
  m_Font.CreateFontIndirect(m_cellDefault.GetFont());
}

CGridCtrl::~CGridCtrl() {
  RemoveAllCells();
  if (m_TitleTip.GetSafeHwnd()) m_TitleTip.DestroyWindow();
  m_DropTarget.Revoke();
  if (GetSafeHwnd()) DestroyWindow();
}

BOOL CGridCtrl::RegisterWindowClass() {
  WNDCLASS wc{};
  HINSTANCE instance = AfxGetInstanceHandle();
  if (::GetClassInfo(instance, GRIDCTRL_CLASSNAME, &wc)) return TRUE;
  wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = ::DefWindowProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(std::intptr_t(COLOR_3DFACE + 1));
  wc.lpszClassName = GRIDCTRL_CLASSNAME;
  if (!::RegisterClass(&wc)) throw CResourceException();
  return TRUE;
}

BOOL CGridCtrl::Create(const RECT& rect, CWnd* parent, UINT id, DWORD style) {
  if (!CWnd::Create(GRIDCTRL_CLASSNAME, nullptr, style, rect, parent, id)) return FALSE;
  for (int i = 0; i < m_nRowCount; ++i) m_arRowHeights[i] = UINT(m_cellDefault.GetHeight());
  for (int i = 0; i < m_nColCount; ++i) m_arColWidths[i] = UINT(m_cellDefault.GetWidth());
  if (m_bTips) m_TitleTip.Create(this);
  ResetScrollBars();
  return TRUE;
}

void CGridCtrl::PreSubclassWindow() {
  CWnd::PreSubclassWindow();
  // A grid made from a dialog template is subclassed, not created: its title tip is made here.
  if (m_bTips) m_TitleTip.Create(this);
}

// ---- counts and storage -------------------------------------------------------------------------------------------

CGridDefaultCell* CGridCtrl::GetDefaultCell(BOOL fixedRow, BOOL fixedCol) const {
  auto* self = const_cast<CGridCtrl*>(this);
  if (fixedRow && fixedCol) return &self->m_cellFixedRowColDef;
  if (fixedRow) return &self->m_cellFixedRowDef;
  if (fixedCol) return &self->m_cellFixedColDef;
  return &self->m_cellDefault;
}

void CGridCtrl::SetDefaultCellType(const CRuntimeClass* cls) {
  if (cls && cls->IsDerivedFrom(RUNTIME_CLASS(CGridCellBase))) m_pRtcDefault = cls;
}

CGridCellBase* CGridCtrl::CreateCell(int row, int col) {
  if (!m_pRtcDefault || !m_pRtcDefault->IsDerivedFrom(RUNTIME_CLASS(CGridCellBase))) return nullptr;
  auto* cell = static_cast<CGridCellBase*>(m_pRtcDefault->CreateObject());
  if (!cell) return nullptr;
  cell->SetGrid(this);
  cell->SetCoords(row, col);
  DWORD state = 0;
  if (col < m_nFixedColCount) state |= GVIS_FIXED | GVIS_FIXEDCOL;
  if (row < m_nFixedRowCount) state |= GVIS_FIXED | GVIS_FIXEDROW;
  cell->SetState(state);
  cell->SetFormat(cell->GetDefaultCell()->GetFormat());
  return cell;
}

void CGridCtrl::DestroyCell(int row, int col) {
  if (m_bVirtual || row < 0 || row >= m_RowData.GetSize()) return;
  auto* rowData = static_cast<CGridRowArray*>(m_RowData[row]);
  if (!rowData || col < 0 || col >= rowData->GetSize()) return;
  delete (*rowData)[col];
  (*rowData)[col] = nullptr;
}

BOOL CGridCtrl::SetRowCount(int n) { return Resize(true, n); }

BOOL CGridCtrl::SetColumnCount(int n) { return Resize(false, n); }

// A resize is whole or not made: the new rows or columns are made before any count changes, and a shortage on the
// way leaves the grid as it was (counts, cells, sizes) and goes on to the caller, who ends what needed them.
BOOL CGridCtrl::Resize(bool rows, int n) {
  const int old = rows ? m_nRowCount : m_nColCount;
  if (n < 0) return FALSE;
  if (n == old) return TRUE;
  const auto drop = rows ? &CGridCtrl::DropRows : &CGridCtrl::DropColumns;
  if (n > old) {
    (this->*(rows ? &CGridCtrl::GrowRows : &CGridCtrl::GrowColumns))(n);
  } else {
    if ((rows ? m_idCurrentCell.row : m_idCurrentCell.col) >= n) SetFocusCell(-1, -1);
    (this->*drop)(n);
  }
  try {
    SetModified();
    ResetScrollBars();
    RedrawAll();
  } catch (...) {
    // Showing the new size ran short: the grid takes its old size back and the shortage goes on.
    if (n > old) (this->*drop)(old);
    throw;
  }
  return TRUE;
}

void CGridCtrl::GrowRows(int n) {
  const int old = m_nRowCount;
  m_arRowHeights.SetSize(n);
  try {
    if (!m_bVirtual) MakeRows(old, n);
  } catch (...) {
    if (!m_bVirtual) FreeRows(old, int(m_RowData.GetSize()));
    m_arRowHeights.SetSize(old);
    throw;
  }
  for (int r = old; r < n; ++r) m_arRowHeights[r] = UINT(m_cellDefault.GetHeight());
  m_nRowCount = n;
  m_idTopLeftCell = CCellID();
}

void CGridCtrl::MakeRows(int from, int to) {
  m_RowData.SetSize(to);
  for (int r = from; r < to; ++r) {
    auto* rowData = new CGridRowArray;
    m_RowData[r] = rowData;
    rowData->SetSize(m_nColCount);
    for (int c = 0; c < m_nColCount; ++c) (*rowData)[c] = CreateCell(r, c);
  }
}

void CGridCtrl::DropRows(int n) {
  if (m_idCurrentCell.row >= n) m_idCurrentCell = CCellID();
  // Keys of removed cells leave the selection.
  for (int r = n; r < m_nRowCount; ++r)
    for (int c = 0; c < m_nColCount; ++c) m_Selection.RemoveKey(SelKey(r, c));
  if (!m_bVirtual) FreeRows(n, m_nRowCount);
  if (m_nFixedRowCount > n) m_nFixedRowCount = n;
  m_arRowHeights.SetSize(n);
  m_nRowCount = n;
  m_idTopLeftCell = CCellID();
}

void CGridCtrl::FreeRows(int from, int to) {
  for (int r = from; r < to; ++r) {
    if (!m_RowData[r]) continue;
    for (int c = 0; c < m_nColCount; ++c) DestroyCell(r, c);
    delete static_cast<CGridRowArray*>(m_RowData[r]);
    m_RowData[r] = nullptr;
  }
  m_RowData.SetSize(from);
}

void CGridCtrl::GrowColumns(int n) {
  const int old = m_nColCount;
  m_arColWidths.SetSize(n);
  int r = 0;
  try {
    if (!m_bVirtual) {
      for (; r < m_nRowCount; ++r) {
        auto* rowData = static_cast<CGridRowArray*>(m_RowData[r]);
        rowData->SetSize(n);
        for (int c = old; c < n; ++c) (*rowData)[c] = CreateCell(r, c);
      }
    }
  } catch (...) {
    // The rows lengthened so far, the one that ran short included, lose their new cells again.
    for (int k = 0; k <= r && k < m_nRowCount; ++k) ShortenRow(k, old);
    m_arColWidths.SetSize(old);
    throw;
  }
  for (int c = old; c < n; ++c) m_arColWidths[c] = UINT(m_cellFixedColDef.GetWidth());
  m_nColCount = n;
  m_idTopLeftCell = CCellID();
}

void CGridCtrl::DropColumns(int n) {
  if (m_idCurrentCell.col >= n) m_idCurrentCell = CCellID();
  for (int r = 0; r < m_nRowCount; ++r)
    for (int c = n; c < m_nColCount; ++c) m_Selection.RemoveKey(SelKey(r, c));
  if (!m_bVirtual)
    for (int r = 0; r < m_nRowCount; ++r) ShortenRow(r, n);
  if (m_nFixedColCount > n) m_nFixedColCount = n;
  m_arColWidths.SetSize(n);
  m_nColCount = n;
  m_idTopLeftCell = CCellID();
}

void CGridCtrl::ShortenRow(int row, int n) {
  auto* rowData = static_cast<CGridRowArray*>(m_RowData[row]);
  if (!rowData) return;
  for (int c = n; c < rowData->GetSize(); ++c) DestroyCell(row, c);
  if (rowData->GetSize() > n) rowData->SetSize(n);
}

BOOL CGridCtrl::SetFixedRowCount(int n) {
  if (n < 0) return FALSE;
  if (n == m_nFixedRowCount) return TRUE;
  const int before = m_nRowCount;
  if (n > m_nRowCount && !SetRowCount(n)) return FALSE;
  try {
    ResetSelectedRange();
  } catch (...) {
    // What was made for the fixed ones goes again with the shortage.
    DropRows(before);
    throw;
  }
  if (m_idCurrentCell.IsValid() && m_idCurrentCell.row < n) SetFocusCell(-1, -1);
  if (!m_bVirtual) {
    auto restate = [&](int r, bool entering) {
      for (int c = 0; c < m_nColCount; ++c) {
        CGridCellBase* cell = GetCell(r, c);
        if (!cell) continue;
        DWORD state = cell->GetState();
        if (entering) {
          state |= GVIS_FIXED | GVIS_FIXEDROW;
        } else {
          state &= ~DWORD(GVIS_FIXEDROW);
          if (c >= m_nFixedColCount) state &= ~DWORD(GVIS_FIXED);
        }
        cell->SetState(state);
        cell->SetTextClr(CLR_DEFAULT);
        cell->SetBackClr(CLR_DEFAULT);
      }
    };
    for (int r = n; r < m_nFixedRowCount; ++r) restate(r, false);
    for (int r = m_nFixedRowCount; r < n; ++r) restate(r, true);
  }
  m_nFixedRowCount = n;
  m_idTopLeftCell = CCellID();
  ResetScrollBars();
  RedrawAll();
  return TRUE;
}

BOOL CGridCtrl::SetFixedColumnCount(int n) {
  if (n < 0) return FALSE;
  if (n == m_nFixedColCount) return TRUE;
  const int before = m_nColCount;
  if (n > m_nColCount && !SetColumnCount(n)) return FALSE;
  try {
    ResetSelectedRange();
  } catch (...) {
    // What was made for the fixed ones goes again with the shortage.
    DropColumns(before);
    throw;
  }
  if (m_idCurrentCell.IsValid() && m_idCurrentCell.col < n) SetFocusCell(-1, -1);
  if (!m_bVirtual) {
    auto restate = [&](int c, bool entering) {
      for (int r = 0; r < m_nRowCount; ++r) {
        CGridCellBase* cell = GetCell(r, c);
        if (!cell) continue;
        DWORD state = cell->GetState();
        if (entering) {
          state |= GVIS_FIXED | GVIS_FIXEDCOL;
        } else {
          state &= ~DWORD(GVIS_FIXEDCOL);
          if (r >= m_nFixedRowCount) state &= ~DWORD(GVIS_FIXED);
        }
        cell->SetState(state);
        cell->SetTextClr(CLR_DEFAULT);
        cell->SetBackClr(CLR_DEFAULT);
      }
    };
    for (int c = n; c < m_nFixedColCount; ++c) restate(c, false);
    for (int c = m_nFixedColCount; c < n; ++c) restate(c, true);
  }
  m_nFixedColCount = n;
  m_idTopLeftCell = CCellID();
  ResetScrollBars();
  RedrawAll();
  return TRUE;
}

void CGridCtrl::RemoveAllCells() {
  ResetSelectedRange();
  if (!m_bVirtual) FreeRows(0, m_nRowCount);
  m_RowData.RemoveAll();
  m_arRowHeights.RemoveAll();
  m_arColWidths.RemoveAll();
  m_nRowCount = m_nColCount = m_nFixedRowCount = m_nFixedColCount = 0;
  m_idCurrentCell = CCellID();
  m_idTopLeftCell = CCellID();
  ResetScrollBars();
  SetModified();
}

// A switch of mode is whole or not made, as a resize is: the new mode's cells are made and shown while the old ones
// stand, and the old ones go only where nothing can run short any more. Sizes go back to the defaults.
void CGridCtrl::SetVirtualMode(BOOL on) {
  if (on == m_bVirtual) return;
  const CUIntArray heights(m_arRowHeights), widths(m_arColWidths);
  const BOOL modified = m_bModified;
  const int sortColumn = m_nSortColumn;
  // A virtual grid holds no cells: leaving that mode, the cells are made into the empty storage.
  if (!on) m_bVirtual = FALSE;
  try {
    if (!on) MakeRows(0, m_nRowCount);
    for (UINT& height : m_arRowHeights) height = UINT(m_cellDefault.GetHeight());
    for (UINT& width : m_arColWidths) width = UINT(m_cellFixedColDef.GetWidth());
    SetModified();
    ResetScrollBars();
    RedrawAll();
  } catch (...) {
    if (!on) {
      FreeRows(0, int(m_RowData.GetSize()));
      m_bVirtual = TRUE;
    }
    std::copy(heights.begin(), heights.end(), m_arRowHeights.begin());
    std::copy(widths.begin(), widths.end(), m_arColWidths.begin());
    m_bModified = modified;
    m_nSortColumn = sortColumn;
    throw;
  }
  m_Selection.RemoveAll();
  m_KeptSelection.RemoveAll();
  m_idCurrentCell = CCellID();
  m_idTopLeftCell = CCellID();
  if (on) {
    FreeRows(0, m_nRowCount);
    m_bVirtual = TRUE;
  }
}

// ---- cells --------------------------------------------------------------------------------------------------------

void CGridCtrl::FillTempCell(int row, int col) const {
  CGridDefaultCell* def = GetDefaultCell(row < m_nFixedRowCount, col < m_nFixedColCount);
  CGridCell& cell = m_cellTemp;
  cell.Reset();
  cell.SetGrid(const_cast<CGridCtrl*>(this));
  cell.SetCoords(row, col);
  DWORD state = 0;
  if (row < m_nFixedRowCount) state |= GVIS_FIXED | GVIS_FIXEDROW;
  if (col < m_nFixedColCount) state |= GVIS_FIXED | GVIS_FIXEDCOL;
  CCellID id;
  if (m_Selection.Lookup(SelKey(row, col), id)) state |= GVIS_SELECTED;
  if (m_idCurrentCell == CCellID(row, col)) state |= GVIS_FOCUSED;
  cell.SetState(state);

  GridDisplayInfo info{};
  info.hdr.hwndFrom = m_hWnd;
  info.hdr.idFrom = UINT_PTR(m_hWnd ? GetDlgCtrlID() : 0);
  info.hdr.code = UINT(GVN_GETDISPINFO);
  info.item.row = row;
  info.item.col = col;
  info.item.mask = 0xFFFFFFFF;
  info.item.nState = state;
  info.item.nFormat = def->GetFormat();
  info.item.crBkClr = CLR_DEFAULT;
  info.item.crFgClr = CLR_DEFAULT;
  info.item.lfFont = *def->GetFont();
  info.item.nMargin = def->GetMargin();
  if (m_pfnDataCallback) {
    m_pfnDataCallback(&info, m_lCallbackParam);
  } else if (CWnd* owner = m_hWnd ? GetOwner() : nullptr) {
    owner->SendMessage(WM_NOTIFY, info.hdr.idFrom, LPARAM(&info));
  }
  cell.SetText(info.item.strText);
  cell.SetImage(info.item.iImage);
  cell.SetData(info.item.lParam);
  cell.SetFormat(info.item.nFormat);
  cell.SetTextClr(info.item.crFgClr);
  cell.SetBackClr(info.item.crBkClr);
  cell.SetMargin(info.item.nMargin);
  // A font of its own only when the parent changed it: realising a font per cell would cost every paint.
  if (std::memcmp(&info.item.lfFont, def->GetFont(), sizeof(LOGFONT)) != 0) cell.SetFont(&info.item.lfFont);
}

CGridCellBase* CGridCtrl::GetCell(int row, int col) const {
  if (!IsValid(row, col)) return nullptr;
  if (m_bVirtual) {
    FillTempCell(row, col);
    return &m_cellTemp;
  }
  auto* rowData = static_cast<CGridRowArray*>(m_RowData[row]);
  return rowData ? static_cast<CGridCellBase*>((*rowData)[col]) : nullptr;
}

BOOL CGridCtrl::SetCellType(int row, int col, const CRuntimeClass* cls) {
  if (m_bVirtual || !IsValid(row, col) || !cls || !cls->IsDerivedFrom(RUNTIME_CLASS(CGridCellBase))) return FALSE;
  CGridCellBase* old = GetCell(row, col);
  if (old && std::strcmp(old->GetRuntimeClass()->m_lpszClassName, cls->m_lpszClassName) == 0) return TRUE;
  auto* cell = static_cast<CGridCellBase*>(cls->CreateObject());
  if (!cell) return FALSE;
  if (old) *cell = *old;
  cell->SetGrid(this);
  cell->SetCoords(row, col);
  (*static_cast<CGridRowArray*>(m_RowData[row]))[col] = cell;
  delete old;
  return TRUE;
}

BOOL CGridCtrl::SetItemText(int row, int col, LPCTSTR text) {
  if (m_bVirtual) return FALSE;
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return FALSE;
  cell->SetText(text);
  SetModified(TRUE, row, col);
  return TRUE;
}

CString CGridCtrl::GetItemText(int row, int col) const {
  CGridCellBase* cell = GetCell(row, col);
  return cell ? CString(cell->GetText()) : CString();
}

UINT CGridCtrl::GetItemState(int row, int col) const {
  if (m_bVirtual) return 0;
  CGridCellBase* cell = GetCell(row, col);
  return cell ? UINT(cell->GetState()) : 0;
}

BOOL CGridCtrl::SetItemState(int row, int col, UINT state) {
  if (m_bVirtual) return FALSE;
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return FALSE;
  if (state & GVIS_SELECTED) {
    CCellID id(row, col);
    m_Selection.SetAt(SelKey(row, col), id);
  } else {
    m_Selection.RemoveKey(SelKey(row, col));
  }
  cell->SetState(state);
  return TRUE;
}

BOOL CGridCtrl::SetItemBkColour(int row, int col, COLORREF c) {
  if (m_bVirtual) return FALSE;
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return FALSE;
  cell->SetBackClr(c);
  return TRUE;
}

BOOL CGridCtrl::SetItemFgColour(int row, int col, COLORREF c) {
  if (m_bVirtual) return FALSE;
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return FALSE;
  cell->SetTextClr(c);
  return TRUE;
}

BOOL CGridCtrl::SetItemFormat(int row, int col, UINT format) {
  if (m_bVirtual) return FALSE;
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return FALSE;
  cell->SetFormat(format);
  return TRUE;
}

BOOL CGridCtrl::IsItemEditing(int row, int col) {
  if (m_bVirtual) return FALSE;
  CGridCellBase* cell = GetCell(row, col);
  return cell && cell->IsEditing();
}

BOOL CGridCtrl::IsValid(const CCellBlock& b) const {
  return b.minRow >= 0 && b.minCol >= 0 && b.maxRow >= 0 && b.maxCol >= 0 && b.maxRow < m_nRowCount &&
         b.maxCol < m_nColCount && b.minRow <= b.maxRow && b.minCol <= b.maxCol;
}

BOOL CGridCtrl::IsCellEditable(int row, int col) const {
  if (!m_bEditingAllowed) return FALSE;
  CGridCellBase* cell = GetCell(row, col);
  return cell && !cell->IsReadOnly();
}

BOOL CGridCtrl::IsCellSelected(int row, int col) const {
  CCellID id;
  return IsValid(row, col) && m_Selection.Lookup(SelKey(row, col), id);
}

BOOL CGridCtrl::GetModified(int row, int col) const {
  if (row < 0 || col < 0) return m_bModified;
  CGridCellBase* cell = GetCell(row, col);
  return cell && cell->IsModified();
}

void CGridCtrl::SetModified(BOOL modified, int row, int col) {
  if (col < 0 || col == m_nSortColumn) m_nSortColumn = -1;
  if (row < 0 || col < 0) {
    m_bModified = modified;
  } else if (!m_bVirtual) {
    if (CGridCellBase* cell = GetCell(row, col)) {
      if (modified) {
        cell->SetState(cell->GetState() | GVIS_MODIFIED);
        m_bModified = TRUE;
      } else {
        cell->SetState(cell->GetState() & ~DWORD(GVIS_MODIFIED));
      }
    }
  }
  if (!m_bModified && !m_bVirtual) {
    for (int r = 0; r < m_nRowCount; ++r)
      for (int c = 0; c < m_nColCount; ++c)
        if (CGridCellBase* cell = GetCell(r, c)) cell->SetState(cell->GetState() & ~DWORD(GVIS_MODIFIED));
  }
}

// ---- sizes ---------------------------------------------------------------------------------------------------------

int CGridCtrl::GetRowHeight(int row) const { return row >= 0 && row < m_nRowCount ? int(m_arRowHeights[row]) : -1; }
int CGridCtrl::GetColumnWidth(int col) const { return col >= 0 && col < m_nColCount ? int(m_arColWidths[col]) : -1; }

BOOL CGridCtrl::SetRowHeight(int row, int height) {
  if (row < 0 || row >= m_nRowCount || height < 0) return FALSE;
  m_arRowHeights[row] = UINT(height);
  ResetScrollBars();
  return TRUE;
}

BOOL CGridCtrl::SetColumnWidth(int col, int width) {
  if (col < 0 || col >= m_nColCount || width < 0) return FALSE;
  m_arColWidths[col] = UINT(width);
  ResetScrollBars();
  return TRUE;
}

int CGridCtrl::GetFixedRowHeight() const {
  int h = 0;
  for (int r = 0; r < m_nFixedRowCount; ++r) h += GetRowHeight(r);
  return h;
}

int CGridCtrl::GetFixedColumnWidth() const {
  int w = 0;
  for (int c = 0; c < m_nFixedColCount; ++c) w += GetColumnWidth(c);
  return w;
}

long CGridCtrl::GetVirtualWidth() const {
  long w = 0;
  for (int c = 0; c < m_nColCount; ++c) w += long(m_arColWidths[c]);
  return w;
}

long CGridCtrl::GetVirtualHeight() const {
  long h = 0;
  for (int r = 0; r < m_nRowCount; ++r) h += long(m_arRowHeights[r]);
  return h;
}

BOOL CGridCtrl::AutoSizeColumn(int col, UINT style, BOOL resetScroll) {
  if (col < 0 || col >= m_nColCount || GetColumnWidth(col) == 0 || !GetSafeHwnd()) return FALSE;
  if (style == 0) style = UINT(m_nFitStyle);
  const int first = (style & GVS_HEADER) ? 0 : m_nFixedRowCount;
  const int last = (style & GVS_DATA) ? m_nRowCount - 1 : m_nFixedRowCount - 1;
  if (m_bVirtual) SendCacheHintToParent(CCellBlock(first, col, last, col));
  CClientDC dc(this);
  int width = 0;
  for (int r = first; r <= last; ++r)
    if (CGridCellBase* cell = GetCell(r, col)) width = std::max(width, int(cell->GetCellExtent(&dc).cx));
  if (m_bVirtual) SendCacheHintToParent(CCellBlock());
  m_arColWidths[col] = UINT(width);
  if (resetScroll) ResetScrollBars();
  return TRUE;
}

BOOL CGridCtrl::AutoSizeRow(int row, BOOL resetScroll) {
  if (row < 0 || row >= m_nRowCount || GetRowHeight(row) == 0 || !GetSafeHwnd()) return FALSE;
  if (m_bVirtual) SendCacheHintToParent(CCellBlock(row, 0, row, m_nColCount - 1));
  CClientDC dc(this);
  int height = 0;
  for (int c = 0; c < m_nColCount; ++c)
    if (CGridCellBase* cell = GetCell(row, c)) height = std::max(height, int(cell->GetCellExtent(&dc).cy));
  if (m_bVirtual) SendCacheHintToParent(CCellBlock());
  m_arRowHeights[row] = UINT(height);
  if (resetScroll) ResetScrollBars();
  return TRUE;
}

void CGridCtrl::ExpandLastColumn() {
  int last = m_nColCount - 1;
  while (last >= 0 && GetColumnWidth(last) <= 0) --last;
  if (last <= 0) return;
  ShowScrollBars(SB_HORZ, FALSE);
  CRect client;
  GetClientRect(&client);
  long total = GetVirtualWidth();
  if (client.Width() > total) {
    m_arColWidths[last] += UINT(client.Width() - total);
    RedrawAll();
  }
  ResetScrollBars();
}

// ---- geometry ------------------------------------------------------------------------------------------------------

int CGridCtrl::GetScrollPos32(int bar, BOOL getTrackPos) {
  if (!GetSafeHwnd()) return 0;
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = getTrackPos ? SIF_TRACKPOS : SIF_POS;
  if (!CWnd::GetScrollInfo(bar, &si, si.fMask)) return 0;
  return getTrackPos ? si.nTrackPos : si.nPos;
}

BOOL CGridCtrl::SetScrollPos32(int bar, int pos, BOOL redraw) {
  if (!GetSafeHwnd()) return FALSE;
  m_idTopLeftCell = CCellID();
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_POS;
  si.nPos = pos;
  return CWnd::SetScrollInfo(bar, &si, redraw);
}

void CGridCtrl::ShowScrollBars(int bar, BOOL show) {
  int bits = bar == SB_HORZ ? 1 : bar == SB_VERT ? 2 : 3;
  int want = show ? (m_nBarsShown | bits) : (m_nBarsShown & ~bits);
  if (want == m_nBarsShown) return;
  const int changed = want ^ m_nBarsShown;
  m_nBarsShown = want;
  if (changed & 1) CWnd::ShowScrollBar(SB_HORZ, (want & 1) != 0);
  if (changed & 2) CWnd::ShowScrollBar(SB_VERT, (want & 2) != 0);
}

void CGridCtrl::ResetScrollBars() {
  m_idTopLeftCell = CCellID();
  if (!m_bAllowDraw || !GetSafeHwnd()) return;
  CRect rect;
  GetClientRect(&rect);
  if (rect.IsRectEmpty()) return;
  if (m_nBarsShown & 2) rect.right += ::GetSystemMetrics(SM_CXVSCROLL) + ::GetSystemMetrics(SM_CXBORDER);
  if (m_nBarsShown & 1) rect.bottom += ::GetSystemMetrics(SM_CYHSCROLL) + ::GetSystemMetrics(SM_CYBORDER);
  rect.left += GetFixedColumnWidth();
  rect.top += GetFixedRowHeight();
  if (rect.left >= rect.right || rect.top >= rect.bottom) {
    ShowScrollBars(SB_BOTH, FALSE);
    m_nVertRange = m_nHorzRange = 0;
    return;
  }
  const long scrollHeight = GetVirtualHeight() - GetFixedRowHeight();
  const long scrollWidth = GetVirtualWidth() - GetFixedColumnWidth();
  long visibleWidth = rect.Width(), visibleHeight = rect.Height();
  if (visibleHeight < scrollHeight) visibleWidth -= ::GetSystemMetrics(SM_CXVSCROLL);
  if (visibleWidth < scrollWidth) visibleHeight -= ::GetSystemMetrics(SM_CYHSCROLL);
  if (visibleHeight >= scrollHeight) {
    ShowScrollBars(SB_VERT, FALSE);
    m_nVertRange = 0;
  } else {
    ShowScrollBars(SB_VERT, TRUE);
    m_nVertRange = int(scrollHeight - 1);
  }
  if (visibleWidth >= scrollWidth) {
    ShowScrollBars(SB_HORZ, FALSE);
    m_nHorzRange = 0;
  } else {
    ShowScrollBars(SB_HORZ, TRUE);
    m_nHorzRange = int(scrollWidth - 1);
  }
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_PAGE | SIF_RANGE;
  si.nMin = 0;
  si.nMax = m_nHorzRange;
  si.nPage = m_nHorzRange > 0 ? UINT(visibleWidth) : 0;
  CWnd::SetScrollInfo(SB_HORZ, &si, FALSE);
  si.fMask |= SIF_DISABLENOSCROLL;
  si.nMax = m_nVertRange;
  si.nPage = m_nVertRange > 0 ? UINT(visibleHeight) : 0;
  CWnd::SetScrollInfo(SB_VERT, &si, FALSE);
  m_idTopLeftCell = CCellID();
}

CCellID CGridCtrl::GetTopleftNonFixedCell(BOOL forceRecalc) {
  if (!forceRecalc && m_idTopLeftCell.row >= 0 && m_idTopLeftCell.col >= 0) return m_idTopLeftCell;
  const int vpos = GetScrollPos32(SB_VERT), hpos = GetScrollPos32(SB_HORZ);
  int col = m_nFixedColCount, right = 0;
  while (right < hpos && col < m_nColCount - 1) right += GetColumnWidth(col++);
  int row = m_nFixedRowCount, bottom = 0;
  while (bottom < vpos && row < m_nRowCount - 1) bottom += GetRowHeight(row++);
  m_idTopLeftCell = CCellID(row, col);
  return m_idTopLeftCell;
}

CCellBlock CGridCtrl::GetVisibleNonFixedCellRange(LPRECT rect, BOOL forceRecalc) {
  CRect client;
  if (GetSafeHwnd()) GetClientRect(&client);
  CCellID topLeft = GetTopleftNonFixedCell(forceRecalc);
  int bottom = GetFixedRowHeight(), row = topLeft.row;
  for (; row < m_nRowCount; ++row) {
    bottom += GetRowHeight(row);
    if (bottom >= client.bottom) {
      bottom = client.bottom;
      break;
    }
  }
  int maxRow = std::min(row, m_nRowCount - 1);
  int right = GetFixedColumnWidth(), col = topLeft.col;
  for (; col < m_nColCount; ++col) {
    right += GetColumnWidth(col);
    if (right >= client.right) {
      right = client.right;
      break;
    }
  }
  int maxCol = std::min(col, m_nColCount - 1);
  if (rect) *rect = CRect(0, 0, std::min(right, int(client.right)), std::min(bottom, int(client.bottom)));
  return CCellBlock(topLeft.row, topLeft.col, maxRow, maxCol);
}

BOOL CGridCtrl::GetCellOrigin(int row, int col, LPPOINT p) {
  if (!IsValid(row, col)) return FALSE;
  CCellID topLeft;
  if (col >= m_nFixedColCount || row >= m_nFixedRowCount) topLeft = GetTopleftNonFixedCell();
  if ((row >= m_nFixedRowCount && row < topLeft.row) || (col >= m_nFixedColCount && col < topLeft.col)) return FALSE;
  p->x = 0;
  if (col < m_nFixedColCount) {
    for (int c = 0; c < col; ++c) p->x += GetColumnWidth(c);
  } else {
    p->x = GetFixedColumnWidth();
    for (int c = topLeft.col; c < col; ++c) p->x += GetColumnWidth(c);
  }
  p->y = 0;
  if (row < m_nFixedRowCount) {
    for (int r = 0; r < row; ++r) p->y += GetRowHeight(r);
  } else {
    p->y = GetFixedRowHeight();
    for (int r = topLeft.row; r < row; ++r) p->y += GetRowHeight(r);
  }
  return TRUE;
}

BOOL CGridCtrl::GetCellRect(int row, int col, LPRECT rect) {
  CPoint origin;
  if (!GetCellOrigin(row, col, &origin)) return FALSE;
  rect->left = origin.x;
  rect->top = origin.y;
  rect->right = origin.x + GetColumnWidth(col) - 1;
  rect->bottom = origin.y + GetRowHeight(row) - 1;
  return TRUE;
}

BOOL CGridCtrl::IsCellVisible(int row, int col) {
  if (!GetSafeHwnd()) return FALSE;
  CPoint origin;
  if (!GetCellOrigin(row, col, &origin)) return FALSE;
  CRect client;
  GetClientRect(&client);
  return origin.x < client.right && origin.y < client.bottom;
}

CCellID CGridCtrl::GetCellFromPt(CPoint point, BOOL allowFixedCellCheck) {
  CCellID topLeft = GetTopleftNonFixedCell();
  CCellID cell;
  const int fixedW = GetFixedColumnWidth(), fixedH = GetFixedRowHeight();
  if (point.x < 0 || (!allowFixedCellCheck && point.x < fixedW)) {
    cell.col = -1;
  } else if (point.x < fixedW) {
    int x = 0, c = 0;
    for (; c < m_nFixedColCount; ++c) {
      x += GetColumnWidth(c);
      if (x > point.x) break;
    }
    cell.col = c < m_nFixedColCount ? c : -1;
  } else {
    int x = fixedW, c = topLeft.col;
    for (; c < m_nColCount; ++c) {
      x += GetColumnWidth(c);
      if (x > point.x) break;
    }
    cell.col = c < m_nColCount ? c : -1;
  }
  if (point.y < 0 || (!allowFixedCellCheck && point.y < fixedH)) {
    cell.row = -1;
  } else if (point.y < fixedH) {
    int y = 0, r = 0;
    for (; r < m_nFixedRowCount; ++r) {
      y += GetRowHeight(r);
      if (y > point.y) break;
    }
    cell.row = r < m_nFixedRowCount ? r : -1;
  } else {
    int y = fixedH, r = topLeft.row;
    for (; r < m_nRowCount; ++r) {
      y += GetRowHeight(r);
      if (y > point.y) break;
    }
    cell.row = r < m_nRowCount ? r : -1;
  }
  return cell;
}

CPoint CGridCtrl::CellRelativePoint(int row, int col, CPoint p) {
  CPoint origin;
  if (!GetCellOrigin(row, col, &origin)) return p;
  return CPoint(p.x - origin.x, p.y - origin.y);
}

void CGridCtrl::EnsureVisible(int row, int col) {
  if (!m_bAllowDraw || !GetSafeHwnd() || !IsValid(row, col)) return;
  HWND focus = ::GetFocus();
  CCellBlock vis = GetVisibleNonFixedCellRange();
  if (col >= m_nFixedColCount) {
    for (int c = vis.maxCol; c < col; ++c)
      if (GetColumnWidth(c) > 0) SendMessage(WM_HSCROLL, SB_LINERIGHT);
    for (int c = col; c < vis.minCol; ++c)
      if (GetColumnWidth(c) > 0) SendMessage(WM_HSCROLL, SB_LINELEFT);
  }
  if (row >= m_nFixedRowCount) {
    for (int r = vis.maxRow; r < row; ++r)
      if (GetRowHeight(r) > 0) SendMessage(WM_VSCROLL, SB_LINEDOWN);
    for (int r = row; r < vis.minRow; ++r)
      if (GetRowHeight(r) > 0) SendMessage(WM_VSCROLL, SB_LINEUP);
  }
  CRect client, rect;
  GetClientRect(&client);
  while (col >= m_nFixedColCount && GetCellRect(row, col, &rect) && rect.right > client.right &&
         rect.left > GetFixedColumnWidth()) {
    int before = GetScrollPos32(SB_HORZ);
    SendMessage(WM_HSCROLL, SB_LINERIGHT);
    if (GetScrollPos32(SB_HORZ) == before) break;
  }
  while (row >= m_nFixedRowCount && GetCellRect(row, col, &rect) && rect.bottom > client.bottom &&
         rect.top > GetFixedRowHeight()) {
    int before = GetScrollPos32(SB_VERT);
    SendMessage(WM_VSCROLL, SB_LINEDOWN);
    if (GetScrollPos32(SB_VERT) == before) break;
  }
  if (focus && focus != ::GetFocus() && ::IsWindow(focus)) ::SetFocus(focus);
}

// ---- notifications -------------------------------------------------------------------------------------------------

LRESULT CGridCtrl::SendMessageToParent(int row, int col, int code) const {
  if (!::IsWindow(m_hWnd)) return 0;
  CWnd* owner = GetOwner();
  if (!owner || !::IsWindow(owner->GetSafeHwnd())) return 0;
  GridNotify nm{};
  nm.hdr.hwndFrom = m_hWnd;
  nm.hdr.idFrom = UINT_PTR(GetDlgCtrlID());
  nm.hdr.code = UINT(code);
  nm.iRow = row;
  nm.iColumn = col;
  return owner->SendMessage(WM_NOTIFY, nm.hdr.idFrom, LPARAM(&nm));
}

// ---- fonts and colours ---------------------------------------------------------------------------------------------

LRESULT CGridCtrl::OnSetFontMsg(WPARAM w, LPARAM) {
  LRESULT result = Default();
  LOGFONT lf{};
  if (w && ::GetObject(reinterpret_cast<HGDIOBJ>(w), sizeof(lf), &lf)) {
    for (CGridDefaultCell* c : {&m_cellDefault, &m_cellFixedColDef, &m_cellFixedRowDef, &m_cellFixedRowColDef})
      c->SetFont(&lf);
    m_Font.DeleteObject();
    m_Font.CreateFontIndirect(&lf);
    RedrawAll();
  }
  return result;
}

LRESULT CGridCtrl::OnGetFontMsg(WPARAM, LPARAM) {
  return reinterpret_cast<LRESULT>(m_cellDefault.GetFontObject()->GetSafeHandle());
}

void CGridCtrl::OnSysColorChange() {
  Default();
  for (CGridDefaultCell* c : {&m_cellDefault, &m_cellFixedColDef, &m_cellFixedRowDef, &m_cellFixedRowColDef}) {
    if (c->GetTextClr() == m_crWindowText) c->SetTextClr(::GetSysColor(COLOR_WINDOWTEXT));
    if (c->GetBackClr() == m_crWindowColour) c->SetBackClr(::GetSysColor(COLOR_WINDOW));
  }
  m_crWindowText = ::GetSysColor(COLOR_WINDOWTEXT);
  m_crWindowColour = ::GetSysColor(COLOR_WINDOW);
  m_cr3DFace = ::GetSysColor(COLOR_3DFACE);
  m_crShadow = ::GetSysColor(COLOR_3DSHADOW);
}

// ---- sorting -------------------------------------------------------------------------------------------------------

int CGridCtrl::CALLBACK_CompareText(LPARAM a, LPARAM b, LPARAM) {
  auto* ca = reinterpret_cast<CGridCellBase*>(a);
  auto* cb = reinterpret_cast<CGridCellBase*>(b);
  if (!ca || !cb) return 0;
  return std::strcmp(ca->GetText(), cb->GetText());
}

BOOL CGridCtrl::SortItems(int col, BOOL ascending, LPARAM data) {
  return SortItems(m_pfnCompare ? m_pfnCompare : &CGridCtrl::CALLBACK_CompareText, col, ascending, data);
}

void CGridCtrl::SwapRows(int a, int b) {
  CObject* t = m_RowData[a];
  m_RowData[a] = m_RowData[b];
  m_RowData[b] = t;
  for (int r : {a, b}) {
    auto* rowData = static_cast<CGridRowArray*>(m_RowData[r]);
    for (int c = 0; c < m_nColCount; ++c)
      if (auto* cell = static_cast<CGridCellBase*>((*rowData)[c])) cell->SetCoords(r, c);
  }
  UINT h = m_arRowHeights[a];
  m_arRowHeights[a] = m_arRowHeights[b];
  m_arRowHeights[b] = h;
}

void CGridCtrl::QuickSort(PFNLVCOMPARE compare, int col, int lo, int hi, BOOL ascending, LPARAM data) {
  if (lo >= hi) return;
  int l = lo, h = hi;
  auto cellAt = [&](int r) { return LPARAM(GetCell(r, col)); };
  // The pivot is the cell, not the row: it moves with its row when rows are exchanged.
  LPARAM pivot = cellAt((lo + hi) / 2);
  const int sign = ascending ? 1 : -1;
  while (l <= h) {
    while (l < hi && sign * compare(cellAt(l), pivot, data) < 0) ++l;
    while (h > lo && sign * compare(cellAt(h), pivot, data) > 0) --h;
    if (l <= h) {
      if (compare(cellAt(l), cellAt(h), data) != 0) SwapRows(l, h);
      ++l;
      --h;
    }
  }
  if (lo < h) QuickSort(compare, col, lo, h, ascending, data);
  if (l < hi) QuickSort(compare, col, l, hi, ascending, data);
}

BOOL CGridCtrl::SortItems(PFNLVCOMPARE compare, int col, BOOL ascending, LPARAM data) {
  if (col < 0 || col >= m_nColCount || m_nRowCount < 2 || m_bVirtual || !compare) return FALSE;
  if (m_nFixedRowCount > 0) {
    InvalidateCellRect(0, m_nSortColumn);
    InvalidateCellRect(0, col);
  }
  m_nSortColumn = col;
  m_bAscending = ascending;
  ResetSelectedRange();
  QuickSort(compare, col, m_nFixedRowCount, m_nRowCount - 1, ascending, data);
  return TRUE;
}
