#include "controls/GridCtrl.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "controls/GridCellTypes.h"
#include "controls/GridInPlace.h"

IMPLEMENT_DYNAMIC(CGridRowArray, CObArray)
IMPLEMENT_DYNCREATE(CGridCtrl, CWnd)

namespace {

constexpr UINT_PTR kScrollTimerId = 513;

bool KeyHeld(int vk) { return (::GetKeyState(vk) & 0x8000) != 0; }

int ReadWheelLines() {
  int lines = 3;
  UINT value = 0;
  if (::SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &value, 0)) lines = int(value);
  return lines;
}

CString Trimmed(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t\r\n\v\f");
  if (b == std::string::npos) return CString();
  std::size_t e = s.find_last_not_of(" \t\r\n\v\f");
  return CString(s.substr(b, e - b + 1).c_str());
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
ON_WM_KEYDOWN()
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
  SetRowCount(nRows);
  SetColumnCount(nCols);
  SetFixedRowCount(nFixedRows);
  SetFixedColumnCount(nFixedCols);
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

BOOL CGridCtrl::SetRowCount(int n) {
  if (n < 0) return FALSE;
  if (n == m_nRowCount) return TRUE;
  m_idTopLeftCell = CCellID();
  if (m_nFixedRowCount > n) m_nFixedRowCount = n;
  if (m_idCurrentCell.row >= n) SetFocusCell(-1, -1);
  const int old = m_nRowCount;
  try {
    if (n < old && !m_bVirtual) {
      for (int r = n; r < old; ++r) {
        for (int c = 0; c < m_nColCount; ++c) DestroyCell(r, c);
        delete static_cast<CGridRowArray*>(m_RowData[r]);
      }
    }
    // Keys of removed cells leave the selection.
    for (int r = n; r < old; ++r)
      for (int c = 0; c < m_nColCount; ++c) m_Selection.RemoveKey(SelKey(r, c));
    m_nRowCount = n;
    m_arRowHeights.SetSize(n);
    for (int r = old; r < n; ++r) m_arRowHeights[r] = UINT(m_cellDefault.GetHeight());
    if (!m_bVirtual) {
      m_RowData.SetSize(n);
      for (int r = old; r < n; ++r) {
        auto* rowData = new CGridRowArray;
        rowData->SetSize(m_nColCount);
        m_RowData[r] = rowData;
        for (int c = 0; c < m_nColCount; ++c) (*rowData)[c] = CreateCell(r, c);
      }
    }
  } catch (const std::bad_alloc&) {
    return FALSE;
  }
  SetModified();
  ResetScrollBars();
  RedrawAll();
  return TRUE;
}

BOOL CGridCtrl::SetColumnCount(int n) {
  if (n < 0) return FALSE;
  if (n == m_nColCount) return TRUE;
  m_idTopLeftCell = CCellID();
  if (m_nFixedColCount > n) m_nFixedColCount = n;
  if (m_idCurrentCell.col >= n) SetFocusCell(-1, -1);
  const int old = m_nColCount;
  try {
    for (int r = 0; r < m_nRowCount; ++r)
      for (int c = n; c < old; ++c) m_Selection.RemoveKey(SelKey(r, c));
    if (n < old && !m_bVirtual)
      for (int r = 0; r < m_nRowCount; ++r)
        for (int c = n; c < old; ++c) DestroyCell(r, c);
    m_nColCount = n;
    m_arColWidths.SetSize(n);
    for (int c = old; c < n; ++c) m_arColWidths[c] = UINT(m_cellFixedColDef.GetWidth());
    if (!m_bVirtual) {
      for (int r = 0; r < m_nRowCount; ++r) {
        auto* rowData = static_cast<CGridRowArray*>(m_RowData[r]);
        rowData->SetSize(n);
        for (int c = old; c < n; ++c) (*rowData)[c] = CreateCell(r, c);
      }
    }
  } catch (const std::bad_alloc&) {
    return FALSE;
  }
  SetModified();
  ResetScrollBars();
  RedrawAll();
  return TRUE;
}

BOOL CGridCtrl::SetFixedRowCount(int n) {
  if (n < 0) return FALSE;
  if (n == m_nFixedRowCount) return TRUE;
  ResetSelectedRange();
  if (n > m_nRowCount && !SetRowCount(n)) return FALSE;
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
  ResetSelectedRange();
  if (n > m_nColCount && !SetColumnCount(n)) return FALSE;
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
  if (!m_bVirtual) {
    for (int r = 0; r < m_nRowCount; ++r) {
      for (int c = 0; c < m_nColCount; ++c) DestroyCell(r, c);
      delete static_cast<CGridRowArray*>(m_RowData[r]);
    }
  }
  m_RowData.RemoveAll();
  m_arRowHeights.RemoveAll();
  m_arColWidths.RemoveAll();
  m_nRowCount = m_nColCount = m_nFixedRowCount = m_nFixedColCount = 0;
  m_idCurrentCell = CCellID();
  m_idTopLeftCell = CCellID();
  ResetScrollBars();
  SetModified();
}

void CGridCtrl::SetVirtualMode(BOOL on) {
  if (on == m_bVirtual) return;
  const int rows = m_nRowCount, cols = m_nColCount, fixedRows = m_nFixedRowCount, fixedCols = m_nFixedColCount;
  RemoveAllCells();
  m_bVirtual = on;
  SetRowCount(rows);
  SetColumnCount(cols);
  SetFixedRowCount(fixedRows);
  SetFixedColumnCount(fixedCols);
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

// ---- drawing -------------------------------------------------------------------------------------------------------

// The off-screen buffer of one paint: over a printing DC it draws straight into that DC.
class CGridMemDC : public CDC {
 public:
  explicit CGridMemDC(CDC* target) : m_pTarget(target), m_bMemDC(!target->IsPrinting()) {
    target->GetClipBox(&m_rect);
    if (!m_bMemDC || m_rect.IsRectEmpty()) {
      m_bMemDC = false;
      Attach(target->GetSafeHdc());
      m_bPrinting = target->IsPrinting();
      return;
    }
    CreateCompatibleDC(target);
    m_bitmap.CreateCompatibleBitmap(target, m_rect.Width(), m_rect.Height());
    m_pOldBitmap = SelectObject(&m_bitmap);
    SetWindowOrg(m_rect.left, m_rect.top);
    FillSolidRect(&m_rect, target->GetBkColor());
  }
  ~CGridMemDC() override {
    if (m_bMemDC) {
      m_pTarget->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top,
                        SRCCOPY);
      SelectObject(m_pOldBitmap);
    } else {
      Detach();
    }
  }

 private:
  CDC* m_pTarget;
  bool m_bMemDC;
  CRect m_rect;
  CBitmap m_bitmap;
  CBitmap* m_pOldBitmap = nullptr;
};

void CGridCtrl::OnPaint() {
  CPaintDC dc(this);
  if (m_bDoubleBuffer) {
    CGridMemDC mem(&dc);
    OnDraw(&mem);
  } else {
    OnDraw(&dc);
  }
}

void CGridCtrl::SendCacheHintToParent(const CCellBlock& range) const {
  if (!m_hWnd) return;
  struct {
    NMHDR hdr;
    CCellBlock range;
  } hint{};
  hint.hdr.hwndFrom = m_hWnd;
  hint.hdr.idFrom = UINT_PTR(GetDlgCtrlID());
  hint.hdr.code = UINT(GVN_ODCACHEHINT);
  hint.range = range;
  if (CWnd* owner = GetOwner()) owner->SendMessage(WM_NOTIFY, hint.hdr.idFrom, LPARAM(&hint));
}

void CGridCtrl::PaintBackground(CDC* dc) {
  CRect clip;
  if (dc->GetClipBox(&clip) == ERROR) return;
  CRect visible;
  GetVisibleNonFixedCellRange(&visible);
  const int fixedW = GetFixedColumnWidth(), fixedH = GetFixedRowHeight();
  if (clip.left < fixedW && clip.top < fixedH)
    dc->FillSolidRect(CRect(clip.left, clip.top, fixedW, fixedH), m_cellFixedRowColDef.GetBackClr());
  if (clip.left < fixedW && clip.top < visible.bottom)
    dc->FillSolidRect(CRect(clip.left, clip.top, fixedW, visible.bottom), m_cellFixedColDef.GetBackClr());
  if (clip.top < fixedH && clip.right > fixedW && clip.left < visible.right)
    dc->FillSolidRect(CRect(fixedW - 1, clip.top, visible.right, fixedH), m_cellFixedRowDef.GetBackClr());
  CRect data;
  if (data.IntersectRect(&clip, &visible)) {
    data.left = std::max(int(data.left), fixedW);
    data.top = std::max(int(data.top), fixedH);
    if (data.left < data.right && data.top < data.bottom) dc->FillSolidRect(&data, m_cellDefault.GetBackClr());
  }
  const COLORREF outside = ::GetSysColor(COLOR_3DFACE);
  if (visible.right < clip.right) dc->FillSolidRect(CRect(visible.right, clip.top, clip.right, clip.bottom), outside);
  if (visible.bottom < clip.bottom)
    dc->FillSolidRect(CRect(clip.left, visible.bottom, visible.right, clip.bottom), outside);
}

void CGridCtrl::OnDraw(CDC* dc) {
  if (!m_bAllowDraw) return;
  CRect clip;
  if (dc->GetClipBox(&clip) == ERROR) return;
  PaintBackground(dc);
  const int fixedH = GetFixedRowHeight(), fixedW = GetFixedColumnWidth();
  CRect visible;
  CCellBlock range = GetVisibleNonFixedCellRange(&visible);
  if (m_bVirtual) SendCacheHintToParent(range);

  auto drawCell = [&](int row, int col, const CRect& rect, BOOL erase) {
    if (CGridCellBase* cell = GetCell(row, col)) {
      cell->SetCoords(row, col);
      cell->Draw(dc, row, col, rect, erase);
    }
  };
  // Rows (columns) of a span, each with its rectangle, clipped against the clip box.
  auto forRows = [&](int first, int last, int y, auto&& body) {
    for (int row = first; row <= last; ++row) {
      const int h = GetRowHeight(row);
      if (h <= 0) continue;
      const int top = y;
      y += h;
      if (top > clip.bottom) break;
      if (y - 1 < clip.top) continue;
      body(row, top, top + h - 1);
    }
  };
  auto forCols = [&](int first, int last, int x, auto&& body) {
    for (int col = first; col <= last; ++col) {
      const int w = GetColumnWidth(col);
      if (w <= 0) continue;
      const int left = x;
      x += w;
      if (left > clip.right) break;
      if (x - 1 < clip.left) continue;
      body(col, left, left + w - 1);
    }
  };

  forRows(0, m_nFixedRowCount - 1, 0, [&](int row, int top, int bottom) {
    forCols(0, m_nFixedColCount - 1, 0,
            [&](int col, int left, int right) { drawCell(row, col, CRect(left, top, right, bottom), FALSE); });
  });
  forRows(range.minRow, range.maxRow, fixedH, [&](int row, int top, int bottom) {
    forCols(0, m_nFixedColCount - 1, 0,
            [&](int col, int left, int right) { drawCell(row, col, CRect(left, top, right, bottom), FALSE); });
  });
  forRows(0, m_nFixedRowCount - 1, 0, [&](int row, int top, int bottom) {
    forCols(range.minCol, range.maxCol, fixedW,
            [&](int col, int left, int right) { drawCell(row, col, CRect(left, top, right, bottom), FALSE); });
  });
  forRows(range.minRow, range.maxRow, fixedH, [&](int row, int top, int bottom) {
    forCols(range.minCol, range.maxCol, fixedW,
            [&](int col, int left, int right) { drawCell(row, col, CRect(left, top, right, bottom), FALSE); });
  });

  CPen pen(PS_SOLID, 1, m_crGridLineColour);
  CPen* old = dc->SelectObject(&pen);
  if (m_nLineStyle & GVL_VERT) {
    int x = fixedW;
    for (int col = range.minCol; col <= range.maxCol && col >= 0; ++col) {
      if (GetColumnWidth(col) <= 0) continue;
      x += GetColumnWidth(col);
      dc->MoveTo(x - 1, fixedH);
      dc->LineTo(x - 1, visible.bottom);
    }
  }
  if (m_nLineStyle & GVL_HORZ) {
    int y = fixedH;
    for (int row = range.minRow; row <= range.maxRow && row >= 0; ++row) {
      if (GetRowHeight(row) <= 0) continue;
      y += GetRowHeight(row);
      dc->MoveTo(fixedW, y - 1);
      dc->LineTo(visible.right, y - 1);
    }
  }
  dc->SelectObject(old);
  if (m_bVirtual) SendCacheHintToParent(CCellBlock());
}

BOOL CGridCtrl::RedrawCell(int row, int col, CDC* dc) {
  if (!m_bAllowDraw || !IsCellVisible(row, col)) return FALSE;
  CRect rect;
  if (!GetCellRect(row, col, &rect)) return FALSE;
  std::unique_ptr<CClientDC> own;
  if (!dc) {
    own = std::make_unique<CClientDC>(this);
    if (!own->GetSafeHdc()) {
      InvalidateRect(&rect, TRUE);
      return FALSE;
    }
    dc = own.get();
  }
  CGridCellBase* cell = GetCell(row, col);
  if (!cell) return FALSE;
  cell->SetCoords(row, col);
  BOOL drawn = cell->Draw(dc, row, col, rect, TRUE);
  if (!IsCellFixed(row, col)) {
    CPen pen(PS_SOLID, 1, m_crGridLineColour);
    CPen* old = dc->SelectObject(&pen);
    if (m_nLineStyle & GVL_HORZ) {
      dc->MoveTo(rect.left, rect.bottom);
      dc->LineTo(rect.right + 1, rect.bottom);
    }
    if (m_nLineStyle & GVL_VERT) {
      dc->MoveTo(rect.right, rect.top);
      dc->LineTo(rect.right, rect.bottom + 1);
    }
    dc->SelectObject(old);
  }
  return drawn;
}

BOOL CGridCtrl::InvalidateCellRect(int row, int col) {
  if (!GetSafeHwnd() || !m_bAllowDraw || !IsValid(row, col) || !IsCellVisible(row, col)) return FALSE;
  CRect rect;
  if (!GetCellRect(row, col, &rect)) return FALSE;
  rect.right++;
  rect.bottom++;
  InvalidateRect(&rect, TRUE);
  return TRUE;
}

void CGridCtrl::RedrawAll() {
  if (m_bAllowDraw && GetSafeHwnd()) Invalidate();
}

void CGridCtrl::SetRedraw(BOOL allow, BOOL resetScroll) {
  if (allow && !m_bAllowDraw) {
    m_bAllowDraw = TRUE;
    if (resetScroll) ResetScrollBars();
    RedrawAll();
  }
  m_bAllowDraw = allow;
}

// ---- scrolling -----------------------------------------------------------------------------------------------------

void CGridCtrl::OnSize(UINT, int, int) {
  static bool inside = false;
  if (inside || !GetSafeHwnd()) return;
  inside = true;
  EndEditing();
  Default();
  ResetScrollBars();
  inside = false;
}

void CGridCtrl::OnVScroll(UINT code, UINT, CScrollBar*) { ScrollAlong(SB_VERT, code); }

void CGridCtrl::OnHScroll(UINT code, UINT, CScrollBar*) { ScrollAlong(SB_HORZ, code); }

// Rows down the vertical bar, columns along the horizontal one; the line codes of both bars share their numbers.
void CGridCtrl::ScrollAlong(int bar, UINT code) {
  EndEditing();
  m_TitleTip.Hide();
  const bool vertical = bar == SB_VERT;
  CCellID topLeft = GetTopleftNonFixedCell();
  CRect client;
  GetClientRect(&client);
  const int pos = GetScrollPos32(bar);
  const int fixed = vertical ? GetFixedRowHeight() : GetFixedColumnWidth();
  const int page = std::max(0, int(vertical ? client.Height() : client.Width()) - fixed);
  CRect scrolled = vertical ? CRect(client.left, fixed, client.right, client.bottom)
                            : CRect(fixed, client.top, client.right, client.bottom);
  const int first = vertical ? topLeft.row : topLeft.col;
  const int fixedCount = vertical ? m_nFixedRowCount : m_nFixedColCount;
  const int count = vertical ? m_nRowCount : m_nColCount;
  auto size = [&](int i) { return vertical ? GetRowHeight(i) : GetColumnWidth(i); };
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  CWnd::GetScrollInfo(bar, &si);
  const int maxPos = std::max(0, si.nMax - std::max(int(si.nPage), 1) + 1);
  switch (code) {
    case SB_LINEUP:
      if (pos > 0 && first > fixedCount) {
        int i = first - 1;
        while (i > fixedCount && size(i) < 1) --i;
        SetScrollPos32(bar, std::max(0, pos - size(i)));
        InvalidateRect(&scrolled);
      }
      break;
    case SB_LINEDOWN:
      if (pos < maxPos) {
        int i = first;
        while (i < count - 1 && size(i) < 1) ++i;
        SetScrollPos32(bar, pos + std::max(0, size(i)));
        if (GetScrollPos32(bar) != pos) InvalidateRect(&scrolled);
      }
      break;
    case SB_PAGEUP:
      if (pos > 0) {
        SetScrollPos32(bar, std::max(0, pos - page));
        InvalidateRect(&scrolled);
      }
      break;
    case SB_PAGEDOWN:
      if (pos < maxPos) {
        SetScrollPos32(bar, std::min(maxPos, pos + page));
        InvalidateRect(&scrolled);
      }
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      SetScrollPos32(bar, GetScrollPos32(bar, TRUE));
      if (GetTopleftNonFixedCell(TRUE) != topLeft) InvalidateRect(&scrolled);
      break;
    case SB_TOP:
      if (pos > 0) {
        SetScrollPos32(bar, 0);
        Invalidate();
      }
      break;
    case SB_BOTTOM:
      if (pos < maxPos) {
        SetScrollPos32(bar, maxPos);
        Invalidate();
      }
      break;
    default: break;
  }
  m_idTopLeftCell = CCellID();
}

BOOL CGridCtrl::OnMouseWheel(UINT, short delta, CPoint) {
  if (m_nWheelLines != -1) {
    const int n = delta * m_nWheelLines / 120;
    for (int i = 0; i < n; ++i) PostMessage(WM_VSCROLL, SB_LINEUP);
    for (int i = 0; i < -n; ++i) PostMessage(WM_VSCROLL, SB_LINEDOWN);
  } else {
    const int n = delta / 120;
    for (int i = 0; i < n; ++i) PostMessage(WM_VSCROLL, SB_PAGEUP);
    for (int i = 0; i < -n; ++i) PostMessage(WM_VSCROLL, SB_PAGEDOWN);
  }
  Default();
  return TRUE;
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

// ---- selection -----------------------------------------------------------------------------------------------------

void CGridCtrl::RedrawFixedOf(int row, int col, bool rowChanged, bool colChanged) {
  if (!m_bMarkFocusHeaders) return;
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

void CGridCtrl::OnEndInPlaceEdit(NMHDR* hdr, LRESULT* result) {
  *result = 0;
  if (!GetSafeHwnd()) return;
  auto* info = reinterpret_cast<GridDisplayInfo*>(hdr);
  const int row = info->item.row, col = info->item.col;
  OnEndEditCell(row, col, info->item.strText);
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
  SetFocus();
  m_LeftClickDownPoint = point;
  m_bLMouseButtonDown = TRUE;
  m_LeftClickDownCell = GetCellFromPt(point);
  if (!IsValid(m_LeftClickDownCell)) return;
  const bool ctrl = (flags & MK_CONTROL) != 0;
  if (flags & MK_SHIFT) {
    if (!IsValid(m_SelectionStartCell)) m_SelectionStartCell = m_idCurrentCell;
  } else {
    m_SelectionStartCell = m_LeftClickDownCell;
  }
  EndEditing();
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
      if (IsCellSelected(r, c)) text += GetItemText(r, c).GetString();
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

BOOL CGridCtrl::PasteTextToGrid(CCellID cell, COleDataObject* data, BOOL selectPastedCells) {
  if (!IsValid(cell) || !IsCellEditable(cell) || !data || !data->IsDataAvailable(CF_TEXT)) return FALSE;
  HGLOBAL mem = data->GetGlobalData(CF_TEXT);
  if (!mem) return FALSE;
  std::string text(static_cast<const char*>(::GlobalLock(mem)));
  ::GlobalUnlock(mem);
  ::GlobalFree(mem);
  int maxRow = cell.row, maxCol = cell.col;
  int row = cell.row;
  // Rows end at a line end of any system ("\r\n", "\n", "\r"); the line end after the last row (spreadsheets
  // write one) starts no empty row that would blank the cell below.
  std::vector<std::string> lines;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      if (start < text.size() || lines.empty()) lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  for (const std::string& line : lines) {
    while (row < m_nRowCount && GetRowHeight(row) <= 0) ++row;
    if (row >= m_nRowCount) break;
    int col = cell.col;
    std::size_t fieldStart = 0;
    while (fieldStart <= line.size()) {
      // Cells end at tabs only: a comma is the decimal comma of "12,5", part of the value.
      std::size_t fieldEnd = line.find('\t', fieldStart);
      if (fieldEnd == std::string::npos) fieldEnd = line.size();
      while (col < m_nColCount && GetColumnWidth(col) <= 0) ++col;
      if (col >= m_nColCount) break;
      ReplaceCellText(row, col, Trimmed(line.substr(fieldStart, fieldEnd - fieldStart)));
      if (!m_bVirtual)
        if (CGridCellBase* c = GetCell(row, col)) c->SetState(c->GetState() & ~DWORD(GVIS_SELECTED));
      m_Selection.RemoveKey(SelKey(row, col));
      maxRow = std::max(maxRow, row);
      maxCol = std::max(maxCol, col);
      ++col;
      fieldStart = fieldEnd + 1;
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

void CGridCtrl::OnEditCut() {
  if (!m_bEditingAllowed) return;
  COleDataSource* source = CopyTextFromGrid();
  if (!source) return;
  source->SetClipboard();
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

void CGridCtrl::OnUpdateEditCopy(CCmdUI* ui) { ui->Enable(GetSelectedCount() > 0); }
void CGridCtrl::OnUpdateEditCut(CCmdUI* ui) { ui->Enable(m_bEditingAllowed && GetSelectedCount() > 0); }
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

void CGridCtrl::OnEndPrinting(CDC*, CPrintInfo*) { m_PrinterFont.DeleteObject(); }
